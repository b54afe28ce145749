#include "os/TextFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const char PathSeparator = '/';

namespace {

WriteOutcome Failure(WriteStage stage, int code) { return {stage, static_cast<uint32_t>(code)}; }

// One logical write; a short write (a file size limit, a full disk) is followed by
// another call, which then names the cause.
WriteOutcome WriteAndClose(int fd, const std::string& bytes) {
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

    return WriteAndClose(fd, bytes);
}

WriteOutcome gReplaceWholeFile(const std::string& given, const std::string& bytes) {
    std::string path = given;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return Failure(WriteStage::Open, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) return Failure(WriteStage::Open, errno);
            return WriteAndClose(fd, bytes);
        }
        if (::access(path.c_str(), W_OK) != 0) return Failure(WriteStage::Open, errno);
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return Failure(WriteStage::Open, EACCES);
        // A link to the report is kept: the file it names is the one replaced.
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = folder;
        temporary += "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100)) return Failure(WriteStage::Open, errno);
    }
    if (exists) (void)::fchmod(fd, st.st_mode & 07777);
    WriteOutcome written = WriteAndClose(fd, bytes);
    if (written.Stage == WriteStage::Done && ::rename(temporary.c_str(), path.c_str()) != 0)
        written = Failure(WriteStage::Close, errno);
    if (written.Stage != WriteStage::Done) ::unlink(temporary.c_str());
    return written;
}
