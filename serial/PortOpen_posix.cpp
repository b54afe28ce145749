#include "serial/PortOpen_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "serial/ComResolver_posix.h"
#include "serial/PortHolders_posix.h"
#include "serial/Udev_posix.h"

namespace {

int Fail(OpenFailure& failure, OpenFault fault, int error = 0) {
    failure.Fault = fault;
    failure.Code = static_cast<uint32_t>(error);
    return -1;
}

// The group that may read and write the device; empty when the mode gives no group both.
std::string GroupAllowed(const struct stat& st) {
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) return {};
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return found->gr_name;
}

int Busy(OpenFailure& failure, dev_t device, std::vector<PortHolder> seen, bool hidden) {
    failure.Holders = std::move(seen);
    failure.HoldersHidden = hidden;
    const std::string manager = gRunningModemManager();
    bool managerHolds = false;
    for (const PortHolder& h : failure.Holders) managerHolds = managerHolds || h.Program == manager;
    // A manager running as root hides its descriptors from everyone else; unless udev
    // tells it to leave this device alone, it is the likely holder.
    const bool managerSuspected = failure.Holders.empty() && hidden && !UdevView().ModemManagerIgnores(device);
    if (!manager.empty() && (managerHolds || managerSuspected)) failure.ModemManager = manager;
    return Fail(failure, OpenFault::Busy);
}

int BusyByLock(OpenFailure& failure, dev_t device) {
    DeviceHolders holders = gFindDeviceHolders(device);
    return Busy(failure, device, std::move(holders.Seen), holders.Hidden);
}

}  // namespace

int gOpenTerminalAlone(const std::string& path, OpenFailure& failure) {
    failure = {};
    if (path.empty()) return Fail(failure, OpenFault::NoDevice);
    failure.Device = gDeviceBehind(path);

    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return Fail(failure, errno == EACCES ? OpenFault::NoPermission : OpenFault::NoDevice);
    // Only a terminal device: a link to a regular file must never be written to.
    if (!S_ISCHR(st.st_mode)) return Fail(failure, OpenFault::NotTerminal);

    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        switch (error) {
        case EACCES:
        case EPERM: failure.Group = GroupAllowed(st); return Fail(failure, OpenFault::NoPermission);
        // Another opener set TIOCEXCL.
        case EBUSY: return BusyByLock(failure, st.st_rdev);
        case ENOENT:
        case ENXIO:
        case ENODEV: return Fail(failure, OpenFault::NoDevice);
        default: return Fail(failure, OpenFault::Other, error);
        }
    }
    const auto closeAnd = [fd](int result) {
        close(fd);
        return result;
    };
    if (!isatty(fd)) return closeAnd(Fail(failure, OpenFault::NotTerminal));
    // /dev/ptmx opens a new pseudo-terminal master each time: a terminal, with nothing
    // on the other side. Only a master has a slave number.
    if (int slave = 0; ioctl(fd, TIOCGPTN, &slave) == 0) return closeAnd(Fail(failure, OpenFault::PtyMaster));
    // flock keeps out our own kind, even as root; TIOCEXCL keeps out later openers that
    // are not root; a holder that came earlier and took no lock is found among the processes.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        return closeAnd(error == EWOULDBLOCK ? BusyByLock(failure, st.st_rdev) : Fail(failure, OpenFault::Other, error));
    }
    // Exclusive before the look at /proc: whoever opens after it is refused, whoever
    // opened before it is seen.
    if (ioctl(fd, TIOCEXCL) != 0) return closeAnd(Fail(failure, OpenFault::Other, errno));
    DeviceHolders holders = gFindDeviceHolders(st.st_rdev);
    if (!holders.Seen.empty()) {
        // The holder keeps the device; it must be able to open it again.
        ioctl(fd, TIOCNXCL);
        return closeAnd(Busy(failure, st.st_rdev, std::move(holders.Seen), holders.Hidden));
    }
    return fd;
}
