#include "serial/PortIdentity.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "serial/ComNames.h"
#include "serial/ComResolver_posix.h"
#include "serial/Udev_posix.h"

namespace {

// /dev/ptmx and /dev/pts/ptmx: each open makes a new master, a terminal with nothing on
// the other side. Known by its number, as opening it to ask would make one.
constexpr unsigned PtmxMajor = 5;
constexpr unsigned PtmxMinor = 2;

bool IsPortsLink(const std::string& path) {
    return path.compare(0, gPortsFolder().size() + 1, gPortsFolder() + "/") == 0;
}

PortIdentity Identify(int number, const std::string& path, const UdevView& udev) {
    PortIdentity port;
    port.Number = number;
    if (path.empty()) return port;
    if (IsPortsLink(path)) port.Route = path;
    port.Device = port.Route.empty() ? path : gDeviceBehind(path);

    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        port.Presence = PortPresence::Missing;
    } else if (!S_ISCHR(st.st_mode)) {
        port.Presence = PortPresence::NotDevice;
    } else if (major(st.st_rdev) == PtmxMajor && minor(st.st_rdev) == PtmxMinor) {
        port.Presence = PortPresence::PtyMaster;
    } else {
        port.Presence = PortPresence::Device;
        port.Facts = udev.Facts(st.st_rdev);
    }
    return port;
}

}  // namespace

std::vector<PortIdentity> gIdentifyComPorts(int count) {
    const std::vector<std::string> paths = gResolveComPortsIn(count, {gPortsFolder()});
    const UdevView udev;
    std::vector<PortIdentity> ports;
    for (int n = 1; n <= count; ++n) ports.push_back(Identify(n, paths[static_cast<size_t>(n - 1)], udev));
    return ports;
}
