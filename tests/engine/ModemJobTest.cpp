// Whole jobs against the virtual modem over a real pseudo-terminal, reached as a COM
// number through the per-user ports folder.

#include <gtest/gtest.h>

#include "engine/ConfigStep.h"
#include "sim/VirtualModem.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"
#include "tests/support/TempConfigHome.h"

namespace {

VirtualModemOptions At(uint32_t speed) {
    VirtualModemOptions options;
    options.Speed = speed;
    return options;
}

struct ModemJobTest : ::testing::Test {
    TempConfigHome Home;
    std::unique_ptr<VirtualModem> Modem;
    EngineRig<> Rig{SystemPort{}};

    void StartModem(VirtualModemOptions options) {
        options.ComNumber = 2;
        Modem = std::make_unique<VirtualModem>(options);
        ASSERT_EQ(Modem->Start(), "");
        Rig.Init();
    }
    void TearDown() override {
        Rig.Engine.reset();
        if (Modem) Modem->Stop();
    }
    // COM2, the model given, 9600 at the device.
    void Choose(int model, int place) { Rig.Choose(model, 3, place, 1); }
};

TEST_F(ModemJobTest, ConfiguresAModemFoundAt115200ForTheDevice) {
    StartModem(At(115200));
    Choose(1, 0);
    ASSERT_TRUE(Rig.RunJob());
    Rows expected = {"Открытие СОМ2", Search(9600), Search(115200)};
    for (const auto& rows :
         {CommandRows({"AT+IPR=9600"}, {"OK"}), Rows{"Установка скорости СОМ-порта 9600 бит/сек."},
          CommandRows({"AT&F", "AT&D0", "ATX0", "ATS0=2", "ATS7=60", "ATL1", "ATE0", "ATV0", "AT&W"},
                      {"OK", "OK", "OK", "OK", "OK", "OK", "OK", "0", "0"}),
          Rows{Succeeded}})
        expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(Rig.Log(), expected);
    EXPECT_TRUE(Rig.Win.Messages().empty());

    const ModemSettings stored = Modem->StoredProfile();
    EXPECT_EQ(stored.Speed, 9600u);
    EXPECT_FALSE(stored.Echo);
    EXPECT_FALSE(stored.Verbose);
    EXPECT_EQ(stored.DtrMode, 0);
    EXPECT_EQ(stored.ResultSet, 0);
    EXPECT_EQ(stored.AutoAnswer, 2);
}

TEST_F(ModemJobTest, AtTheComputerTheModemKeepsVerboseReplies) {
    StartModem(At(9600));
    Choose(4, 1);
    ASSERT_TRUE(Rig.RunJob());
    Rows expected = {"Открытие СОМ2", Search(9600)};
    for (const auto& rows :
         {CommandRows({"AT+IPR=9600"}, {"OK"}), Rows{"Установка скорости СОМ-порта 9600 бит/сек."},
          CommandRows({"AT&F", "AT&D2", "ATX4", "ATS0=2", "ATS7=60", "ATL1", "ATE0", "ATV1", "AT&W"}, Rows(9, "OK")),
          Rows{Succeeded}})
        expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(Rig.Log(), expected);
    EXPECT_TRUE(Modem->StoredProfile().Verbose);
    EXPECT_EQ(Modem->StoredProfile().DtrMode, 2);
}

TEST_F(ModemJobTest, ModemWithoutSimCardRefusesAutoAnswer) {
    auto options = At(9600);
    options.NoSim = true;
    StartModem(options);
    Choose(2, 0);
    ASSERT_TRUE(Rig.RunJob());
    const std::string text =
        "При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"ERROR\".\r\n"
        "Проверьте, что SIM карта вставлена в модем, и модем зарегистрирован в сети оператора!\r\n"
        "Операция будет прекращена!";
    const Rows log = Rig.Log();
    EXPECT_EQ(Rows(log.end() - 3, log.end()), (Rows{Exec("ATS0=2"), text, NotSucceeded}));
    ASSERT_EQ(Rig.Win.Messages().size(), 1u);
    EXPECT_EQ(Rig.Win.Messages()[0].Caption, "Ошибка");
}

TEST_F(ModemJobTest, RepliesInPiecesWithEchoAreRecognised) {
    auto options = At(9600);
    options.Split = true;
    options.Seed = 7;
    StartModem(options);
    Choose(0, 0);
    ASSERT_TRUE(Rig.RunJob());
    EXPECT_EQ(Rig.Log().back(), Succeeded);
}

TEST_F(ModemJobTest, DeviceVanishingMidJobEndsItUnsuccessfully) {
    auto options = At(9600);
    options.HangupAfter = 5;
    StartModem(options);
    Choose(1, 0);
    ASSERT_TRUE(Rig.RunJob());
    // The line goes while a command waits for its reply: the read fails, the port says
    // so, and the engine reports the failed operation.
    const Rows log = Rig.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3].rfind("Выполнение команды ", 0), 0u);
    EXPECT_EQ(Rows(log.end() - 2, log.end()),
              (Rows{"При выполнении операции возникла ошибка!", NotSucceeded}));
    const auto boxes = Rig.Win.Messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text.rfind("Ошибка выполнения ReadFile (код ", 0), 0u);
    EXPECT_EQ(boxes[0].Caption, "Информация");
    EXPECT_EQ(boxes[1].Caption, "Ошибка");
}

TEST_F(ModemJobTest, StopDuringTheSearchShowsNoBox) {
    auto options = At(57600);
    options.Mismatch = MismatchMode::Silent;
    StartModem(options);
    Choose(1, 0);
    Rig.Engine->OnStartStop();
    ASSERT_TRUE(Rig.WaitForRow(Search(9600)));
    Rig.Engine->OnStartStop();
    ASSERT_TRUE(Rig.Win.WaitFor([&] { return Rig.LastRowIs(NotSucceeded); }));
    ASSERT_TRUE(Rig.WaitIdle());
    EXPECT_TRUE(Rig.Win.Messages().empty());
    EXPECT_EQ(Rig.Log(), (Rows{"Открытие СОМ2", Search(9600), NotSucceeded}));
}

TEST_F(ModemJobTest, ClosingTheWindowMidJobAddsNothingAndFreesThePort) {
    auto options = At(115200);
    options.Mismatch = MismatchMode::Silent;
    StartModem(options);
    Choose(1, 0);
    Rig.Engine->OnStartStop();
    ASSERT_TRUE(Rig.WaitForRow(Search(9600)));
    Rig.Engine.reset();
    EXPECT_EQ(Rig.Log(), (Rows{"Открытие СОМ2", Search(9600)}));
    EXPECT_TRUE(Rig.Win.Messages().empty());
    // The port is free again: another owner can open it at once.
    auto platform = gMakeSystemSerialPlatform();
    const PortHandle h = platform->OpenDevice("\\\\.\\COM2");
    EXPECT_NE(h, InvalidPortHandle);
    if (h != InvalidPortHandle) platform->CloseDevice(h);
}

// A modem whose results come 1.4 s late, past the probe's wait. A late result must never
// be taken for the answer to a probe at the next speed: the first row after the search
// rows shows the modem found at its own speed, where the job or the check goes on.
struct LateCase {
    const char* Name;
    uint32_t Speed;
    bool Check;
};

void PrintTo(const LateCase& c, std::ostream* os) { *os << c.Name; }

struct LateModemTest : ModemJobTest, ::testing::WithParamInterface<LateCase> {};

TEST_P(LateModemTest, IsFoundAtItsOwnSpeed) {
    auto options = At(GetParam().Speed);
    options.DelayMs = 1400;
    StartModem(options);
    Choose(1, 0);
    GetParam().Check ? Rig.Engine->OnCheckModem() : Rig.Engine->OnStartStop();
    auto searchEnded = [&] {
        const Rows log = Rig.Log();
        return log.size() > 1 && log.back().rfind("Поиск", 0) != 0;
    };
    ASSERT_TRUE(Rig.Win.WaitFor(searchEnded, 60000));
    Rig.Engine->StopRun();
    ASSERT_TRUE(Rig.WaitIdle());

    Rows searches;
    for (const int32_t speed : ProbeSpeeds) {
        searches.push_back(Search(speed));
        if (speed == static_cast<int32_t>(GetParam().Speed)) break;
    }
    const Rows log = Rig.Log();
    ASSERT_GT(log.size(), searches.size() + 1);
    EXPECT_EQ(Rows(log.begin() + 1, log.begin() + 1 + static_cast<long>(searches.size())), searches);
    const std::string next = log[searches.size() + 1];
    EXPECT_EQ(next, GetParam().Check ? "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100"
                                     : Exec("AT+IPR=9600"));
}

INSTANTIATE_TEST_SUITE_P(Delays, LateModemTest,
                         testing::Values(LateCase{"CheckAt115200", 115200, true},
                                         LateCase{"CheckAt19200", 19200, true},
                                         LateCase{"JobAt115200", 115200, false}),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
