#include "toolkit/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

const char PathSeparator = '/';

namespace {

WriteOutcome Failure(WriteStage stage, int code) { return {stage, static_cast<uint32_t>(code)}; }

}  // namespace

WriteOutcome gWriteWholeFile(const std::string& path, const std::string& bytes) {
    // Not truncated on open: a file that another program holds locked must stay intact,
    // so the size goes to 0 only once the lock is ours.
    bool created = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (fd < 0) return Failure(WriteStage::Open, errno);

    // Advisory, and never waited for: the user-interface thread must not hang on a file
    // that another program keeps open. A refused lock counts as a refused open.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (created) ::unlink(path.c_str());
        return Failure(WriteStage::Open, code);
    }
    if (::ftruncate(fd, 0) != 0) {
        const int code = errno;
        ::close(fd);
        return Failure(WriteStage::Write, code);
    }

    // One logical write; a short write (a file size limit, a full disk) is followed by
    // another call, which then names the cause.
    const char* next = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, next, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            ::close(fd);
            return Failure(WriteStage::Write, code);
        }
        next += n;
        left -= static_cast<size_t>(n);
    }
    if (::close(fd) != 0) return Failure(WriteStage::Close, errno);
    return {};
}
