#include "frontend/PortHelp.h"

#include <cstdlib>

#include "serial/ComNames.h"

namespace {

// The folder as a user types it: "~" for the home folder it lies in.
std::string AsTyped(const std::string& folder) {
    const char* home = std::getenv("HOME");
    const std::string within = home && *home ? std::string(home) + "/" : std::string();
    if (within.size() <= 1 || folder.compare(0, within.size(), within) != 0) return folder;
    std::string typed = "~/";
    return typed.append(folder, within.size());
}

}  // namespace

// The folder is the one the port names are read from, wherever XDG_CONFIG_HOME puts it.
std::string gPortHelp() {
    std::string help = ". Порту COMn соответствует устройство, на которое указывает ссылка COMn в папке ";
    help += AsTyped(gPortsFolder());
    help += " (например, на /dev/ttyUSB0), а без такой ссылки — n-й найденный "
            "последовательный порт (см. README);\n"
            "• что ваш пользователь входит в группу dialout (sudo usermod -aG dialout $USER, "
            "затем войдите в систему заново).";
    return help;
}
