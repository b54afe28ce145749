#include "serial/ComNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

#include "serial/ComResolver_posix.h"

namespace {

// The number after prefix when name is prefix and decimal digits alone, else -1.
long NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    return std::stol(digits);
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string result = real;
    std::free(real);
    return result;
}

// The 8250 driver registers ports whether or not a UART answers; those either hang off
// the generic platform device or report type PORT_UNKNOWN.
bool IsPlaceholderUart(const std::string& name, const DeviceFolders& folders) {
    const std::string sys = folders.SysTty + "/" + name;
    const std::string subsystem = RealPath(sys + "/device/subsystem");
    if (subsystem.size() >= 9 && subsystem.compare(subsystem.size() - 9, 9, "/platform") == 0) return true;

    std::ifstream typeFile(sys + "/type");
    int type = -1;
    if (typeFile >> type) return type == PORT_UNKNOWN;

    const int fd = open((folders.Dev + "/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool unknown = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
    close(fd);
    return unknown;
}

std::vector<std::string> SerialDevices(const DeviceFolders& folders) {
    const std::vector<std::string> names = Entries(folders.Dev);
    std::vector<std::string> devices;
    for (const std::string prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        std::vector<std::pair<long, std::string>> group;
        for (const std::string& name : names) {
            if (const long n = NumberAfter(name, prefix); n >= 0) group.emplace_back(n, name);
        }
        std::sort(group.begin(), group.end());
        for (const auto& [number, name] : group) {
            if (prefix == "ttyS" && IsPlaceholderUart(name, folders)) continue;
            devices.push_back(folders.Dev + "/" + name);
        }
    }
    return devices;
}

}  // namespace

std::vector<std::string> gResolveComPortsIn(int count, const DeviceFolders& folders) {
    std::vector<std::string> devices(static_cast<size_t>(std::max(count, 0)));
    std::set<long> linkedNumbers;
    std::set<std::string> linkedDevices;
    for (const std::string& name : Entries(folders.Ports)) {
        const long number = NumberAfter(name, "COM");
        const std::string path = folders.Ports + "/" + name;
        if (number < 1 || name[3] == '0' || !IsLink(path)) continue;
        linkedNumbers.insert(number);
        linkedDevices.insert(RealPath(path));
        if (number <= count) devices[static_cast<size_t>(number - 1)] = path;
    }

    long number = 0;
    for (const std::string& device : SerialDevices(folders)) {
        if (linkedDevices.count(RealPath(device))) continue;
        do {
            ++number;
        } while (linkedNumbers.count(number));
        if (number > count) break;
        devices[static_cast<size_t>(number - 1)] = device;
    }
    return devices;
}

std::string gResolveComPortIn(int n, const DeviceFolders& folders) {
    std::string own = folders.Ports + "/COM" + std::to_string(n);
    if (IsLink(own)) return own;
    if (n < 1) return {};
    return gResolveComPortsIn(n, folders).back();
}

std::string gDeviceBehind(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path at = path;
    std::error_code ec;
    // As many links as the kernel itself follows.
    for (int hop = 0; hop < 40 && fs::is_symlink(at, ec); ++hop) {
        const fs::path target = fs::read_symlink(at, ec);
        if (ec) break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    const fs::path device = fs::weakly_canonical(at, ec);
    return (ec ? at : device).lexically_normal().string();
}

std::string gResolveComPort(int n) { return gResolveComPortIn(n, {gPortsFolder()}); }

std::string gPortsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + "/.config";
    }
    return base + "/" + CompanyName + "/ports";
}
