#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "serial/LineSettings_posix.h"

namespace {

int MillisLeft(std::chrono::steady_clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyPeer::PtyPeer(const std::string& path) : Fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}

PtyPeer::~PtyPeer() {
    if (Fd >= 0) ::close(Fd);
}

bool PtyPeer::SetSpeed(uint32_t speed) {
    LineSettings line;
    if (gMakeRaw(Fd) != 0 || gReadLineSettings(Fd, line) != 0) return false;
    line.BaudRate = speed;
    return gWriteLineSettings(Fd, line) == 0;
}

void PtyPeer::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(Fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (errno == EAGAIN) {
            pollfd p{Fd, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else {
            return;
        }
    }
}

std::string PtyPeer::ReadUntil(std::string_view text, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::string got;
    while (got.find(text) == std::string::npos) {
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, MillisLeft(end)) <= 0) break;
        char buffer[256];
        const ssize_t n = ::read(Fd, buffer, sizeof buffer);
        if (n <= 0 && errno != EAGAIN) break;
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

std::string PtyPeer::ReadCount(size_t count, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::string got;
    while (got.size() < count) {
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, MillisLeft(end)) <= 0) break;
        char buffer[256];
        const ssize_t n = ::read(Fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0 && errno != EAGAIN) break;
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

bool PtyPeer::WaitForHangUp(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, MillisLeft(end)) <= 0) return false;
        if (p.revents & (POLLHUP | POLLERR)) return true;
        char buffer[256];
        const ssize_t n = ::read(Fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == EIO)) return true;
    }
}
