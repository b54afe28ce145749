#include "sim/ComClaim.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

ComClaim::ComClaim(int fd, std::string path) : Fd(fd), Path(std::move(path)) {}

// The file goes while the lock is still held, so whoever opened it meanwhile finds
// that the file it locked is no longer the one at the path.
ComClaim::~ComClaim() {
    ::unlink(Path.c_str());
    ::close(Fd);
}

std::unique_ptr<ComClaim> ComClaim::Take(const std::string& folder, int n, std::string& error) {
    const std::string com = "COM" + std::to_string(n);
    const std::string path = folder + "/." + com + ".lock";
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = "cannot create " + path + ": " + std::strerror(errno);
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int cause = errno;
            ::close(fd);
            error = cause == EWOULDBLOCK ? com + " is served by another running modem"
                                         : "cannot lock " + path + ": " + std::strerror(cause);
            return nullptr;
        }
        // A modem that was ending removed the file between our open and our lock: try afresh.
        if (SameFile(fd, path)) return std::unique_ptr<ComClaim>(new ComClaim(fd, path));
        ::close(fd);
    }
}
