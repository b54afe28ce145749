#include "serial/OpenFailure.h"

#include "os/ErrorText.h"
#include "serial/SerialPort.h"

namespace {

// The udev rule shipped with the program; the README says where it goes.
const char* const ManagerRemedy =
    " Чтобы служба не трогала порт, установите правило udev 99-kestrelix.rules (см. README) "
    "и переподключите модем.";

std::string Holders(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const PortHolder& h : holders) {
        if (!text.empty()) text += ", ";
        text += h.Program + " (pid " + std::to_string(h.Pid) + ")";
    }
    return text;
}

bool ManagerAmong(const OpenFailure& f) {
    for (const PortHolder& h : f.Holders) {
        if (h.Program == f.ModemManager) return true;
    }
    return false;
}

std::string Busy(const std::string& port, const OpenFailure& f) {
    std::string text = port + " занят";
    if (!f.Holders.empty()) {
        if (f.Holders.size() > 1) text += ": его держат программы ";
        else text += ManagerAmong(f) ? ": его держит служба модемов " : ": его держит программа ";
        text += Holders(f.Holders) + ".";
    } else if (f.HoldersHidden) {
        text += " другой программой; какой, видно только администратору (root).";
    } else {
        text += " другой программой.";
    }
    if (f.ModemManager.empty()) return text;
    if (ManagerAmong(f)) return text + ManagerRemedy;
    return text + " Вероятно, это служба " + f.ModemManager +
           ": она запущена, и ничто не велит ей оставить это устройство в покое." + ManagerRemedy;
}

}  // namespace

std::string gOpenFailureLine(int comNumber, const OpenFailure& f) {
    const std::string com = "COM" + std::to_string(comNumber);
    const std::string port = f.Device.empty() ? com : com + " (" + f.Device + ")";
    switch (f.Fault) {
    case OpenFault::Unknown: return {};
    case OpenFault::NoDevice:
        return f.Device.empty() ? com + ": за этим номером нет устройства."
                                : port + ": такого устройства нет.";
    case OpenFault::NoPermission:
        if (f.Group.empty()) return port + ": нет прав на устройство; права на него не даны ни одной группе.";
        return port + ": нет прав на устройство. Добавьте пользователя в группу " + f.Group +
               " (sudo usermod -aG " + f.Group + " $USER) и войдите в систему заново.";
    case OpenFault::Busy: return Busy(port, f);
    case OpenFault::NotTerminal: return port + ": это не терминальное устройство.";
    case OpenFault::PtyMaster: return port + ": это не последовательный порт, а ведущая сторона псевдотерминала.";
    case OpenFault::Other: {
        std::string reason = gGetErrorText(f.Code);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
        return port + ": " + (reason.empty() ? "ошибка " + std::to_string(f.Code) : reason) + ".";
    }
    }
    return {};
}
