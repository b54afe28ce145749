#include "serial/PortHolders_posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr const char* ModemManagerProgram = "ModemManager";
// Unix98 pseudo-terminal slaves: majors 136 to 143, 256 minors each; the master
// multiplexer is 5:2.
constexpr unsigned PtySlaveFirstMajor = 136;
constexpr unsigned PtySlaveLastMajor = 143;
const dev_t PtyMaster = makedev(5, 2);

// Numbered entries of /proc (processes) or of a descriptor folder.
template <typename Each> bool ForEachNumber(const std::string& folder, Each each) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long n = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0') each(n, folder + "/" + entry->d_name);
    }
    closedir(dir);
    return true;
}

std::string ProgramName(const std::string& process) {
    std::string name;
    std::getline(std::ifstream(process + "/comm"), name);
    return name;
}

// The pty index a master descriptor serves, from its fdinfo; -1 when not told.
long MasterIndex(const std::string& process, long fd) {
    std::ifstream info(process + "/fdinfo/" + std::to_string(fd));
    std::string key;
    while (info >> key) {
        long index = -1;
        if (key == "tty-index:" && info >> index) return index;
        info.ignore(1 << 12, '\n');
    }
    return -1;
}

long PtyIndex(dev_t device) {
    const unsigned block = major(device);
    if (block < PtySlaveFirstMajor || block > PtySlaveLastMajor) return -1;
    return static_cast<long>((block - PtySlaveFirstMajor) * 256 + minor(device));
}

}  // namespace

DeviceHolders gFindDeviceHolders(dev_t device) {
    DeviceHolders holders;
    const long self = getpid();
    const long ptyIndex = PtyIndex(device);
    ForEachNumber("/proc", [&](long pid, const std::string& process) {
        if (pid == self) return;
        bool holds = false;
        bool master = false;
        const bool looked = ForEachNumber(process + "/fd", [&](long fd, const std::string& link) {
            struct stat st {};
            if (stat(link.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return;
            if (st.st_rdev == device) holds = true;
            if (ptyIndex >= 0 && st.st_rdev == PtyMaster && MasterIndex(process, fd) == ptyIndex) master = true;
        });
        // A process that ended meanwhile has no folder left; one that could not be
        // looked at still has it.
        if (!looked && access(process.c_str(), F_OK) == 0) holders.Hidden = true;
        if (holds && !master) holders.Seen.push_back({static_cast<int>(pid), ProgramName(process)});
    });
    return holders;
}

std::string gRunningModemManager() {
    std::string found;
    ForEachNumber("/proc", [&](long, const std::string& process) {
        if (found.empty() && ProgramName(process) == ModemManagerProgram) found = ModemManagerProgram;
    });
    return found;
}
