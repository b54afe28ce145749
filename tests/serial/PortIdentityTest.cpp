// What stands behind each COM number, and the operator's line for a port that did not
// open: the wording over made-up facts, as any platform's lookup may give them.

#include <gtest/gtest.h>

#include "os/ErrorText.h"
#include "serial/OpenFailure.h"
#include "serial/PortIdentity.h"
#include "serial/SerialPort.h"

TEST(PortIdentityTest, DescriptionOfEachKindOfEntry) {
    const DeviceFacts ftdi{"ftdi_sio", "FTDI", "FT232R USB UART", "A50285BI"};
    const struct {
        PortIdentity Port;
        std::string Text;
    } cases[] = {
        {{1, PortPresence::Nothing, "", "", {}}, "нет устройства"},
        {{2, PortPresence::Device, "", "/dev/ttyUSB0", ftdi},
         "/dev/ttyUSB0: FTDI FT232R USB UART, серийный номер A50285BI, драйвер ftdi_sio"},
        {{3, PortPresence::Device, "/p/COM3", "/dev/ttyUSB0", {"ftdi_sio", "FTDI", "", ""}},
         "/dev/ttyUSB0 (ссылка /p/COM3): FTDI, драйвер ftdi_sio"},
        {{4, PortPresence::Device, "", "/dev/ttyACM0", {"cdc_acm", "Acme", "Acme GSM", ""}},
         "/dev/ttyACM0: Acme GSM, драйвер cdc_acm"},
        {{5, PortPresence::Device, "", "/dev/ttyS0", {"serial", "", "", ""}}, "/dev/ttyS0: драйвер serial"},
        {{6, PortPresence::Device, "/p/COM6", "/dev/pts/3", {}}, "/dev/pts/3 (ссылка /p/COM6)"},
        {{7, PortPresence::Missing, "/p/COM7", "/dev/ttyUSB5", {}},
         "нет устройства: /dev/ttyUSB5 (ссылка /p/COM7) не существует"},
        {{8, PortPresence::NotDevice, "/p/COM8", "/home/a/notes", {}}, "/home/a/notes (ссылка /p/COM8) — не устройство"},
        {{9, PortPresence::PtyMaster, "/p/COM9", "/dev/ptmx", {}},
         "/dev/ptmx (ссылка /p/COM9) — ведущая сторона псевдотерминала, не последовательный порт"},
        {{10, PortPresence::Device, "", "COM10", {"usbser", "Halvstad", "GSM-модем USB (COM10)", ""}},
         "Halvstad GSM-модем USB (COM10), драйвер usbser"},
        {{11, PortPresence::Device, "", "COM11", {}}, "COM11"},
    };
    for (const auto& c : cases) EXPECT_EQ(gDescribePort(c.Port), c.Text) << c.Port.Number;
}

TEST(PortIdentityTest, LineForEachCauseOfAFailedOpen) {
    const auto failure = [](OpenFault fault, std::string device) {
        OpenFailure f;
        f.Fault = fault;
        f.Device = std::move(device);
        return f;
    };
    OpenFailure noGroup = failure(OpenFault::NoPermission, "/dev/pts/3");
    OpenFailure dialout = noGroup;
    dialout.Group = "dialout";
    OpenFailure cat = failure(OpenFault::Busy, "/dev/ttyUSB0");
    cat.Holders = {{4242, "cat"}};
    OpenFailure two = cat;
    two.Holders.push_back({17, "minicom"});
    OpenFailure hidden = failure(OpenFault::Busy, "/dev/ttyUSB0");
    hidden.HoldersHidden = true;
    OpenFailure suspected = hidden;
    suspected.ModemManager = "ModemManager";
    OpenFailure manager = failure(OpenFault::Busy, "/dev/ttyACM0");
    manager.Holders = {{812, "ModemManager"}};
    manager.ModemManager = "ModemManager";
    OpenFailure other = failure(OpenFault::Other, "/dev/ttyUSB0");
    other.Code = 5;
    std::string reason = gGetErrorText(5);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();

    const std::string remedy = " Чтобы служба не трогала порт, установите правило udev 99-kestrelix.rules (см. README) "
                               "и переподключите модем.";
    const struct {
        OpenFailure Failure;
        std::string Line;
    } cases[] = {
        {failure(OpenFault::Unknown, "/dev/ttyS0"), ""},
        {failure(OpenFault::NoDevice, ""), "COM3: за этим номером нет устройства."},
        {failure(OpenFault::NoDevice, "/dev/ttyUSB5"), "COM3 (/dev/ttyUSB5): такого устройства нет."},
        {noGroup, "COM3 (/dev/pts/3): нет прав на устройство; права на него не даны ни одной группе."},
        {dialout, "COM3 (/dev/pts/3): нет прав на устройство. Добавьте пользователя в группу dialout "
                  "(sudo usermod -aG dialout $USER) и войдите в систему заново."},
        {cat, "COM3 (/dev/ttyUSB0) занят: его держит программа cat (pid 4242)."},
        {two, "COM3 (/dev/ttyUSB0) занят: его держат программы cat (pid 4242), minicom (pid 17)."},
        {hidden, "COM3 (/dev/ttyUSB0) занят другой программой; какой, видно только администратору (root)."},
        {suspected, "COM3 (/dev/ttyUSB0) занят другой программой; какой, видно только администратору (root). "
                    "Вероятно, это служба ModemManager: она запущена, и ничто не велит ей оставить это "
                    "устройство в покое." + remedy},
        {manager, "COM3 (/dev/ttyACM0) занят: его держит служба модемов ModemManager (pid 812)." + remedy},
        {failure(OpenFault::NotTerminal, "/home/a/notes"), "COM3 (/home/a/notes): это не терминальное устройство."},
        {other, "COM3 (/dev/ttyUSB0): " + reason + "."},
    };
    for (const auto& c : cases) EXPECT_EQ(gOpenFailureLine(3, c.Failure), c.Line);
}
