#include "sim/ModemLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "sim/LineSpeed.h"

namespace {

using Clock = std::chrono::steady_clock;

// While the other side has its end closed the master reports a hang-up at every poll;
// it is looked at again after this pause, so an idle modem does not spin.
constexpr int ClosedPollMs = 10;

class PseudoTerminal : public ModemLine {
public:
    PseudoTerminal(int master, int wakeRead, int wakeWrite, std::string device)
        : Master(master), WakeRead(wakeRead), WakeWrite(wakeWrite), Device(std::move(device)) {}

    ~PseudoTerminal() override {
        Close();
        ::close(WakeRead);
        ::close(WakeWrite);
    }

    ReadResult Read(std::string& into, int timeoutMs) override {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const int left = MillisLeft(end);
            pollfd fds[2] = {{WakeRead, POLLIN, 0}, {Master, POLLIN, 0}};
            if (::poll(fds, Master >= 0 ? 2 : 1, left) < 0 && errno != EINTR) return ReadResult::Idle;
            if (fds[0].revents) return ReadResult::Woken;
            if (fds[1].revents & POLLIN) {
                char buffer[512];
                const ssize_t n = ::read(Master, buffer, sizeof buffer);
                if (n > 0) {
                    into.append(buffer, static_cast<size_t>(n));
                    return ReadResult::Data;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            }
            // The other end is closed (EIO and POLLHUP until someone opens it again).
            if (fds[1].revents && !Pause(std::min(left, ClosedPollMs))) return ReadResult::Woken;
            if (MillisLeft(end) == 0) return ReadResult::Idle;
        }
    }

    bool Write(const std::string& bytes) override {
        size_t done = 0;
        while (done < bytes.size() && Master >= 0) {
            const ssize_t n = ::write(Master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return true;
            pollfd fds[2] = {{WakeRead, POLLIN, 0}, {Master, POLLOUT, 0}};
            ::poll(fds, 2, -1);
            if (fds[0].revents) return false;
            // Nobody reads the other end: the bytes go where a real line sends them.
            if ((fds[1].revents & POLLHUP) && !(fds[1].revents & POLLOUT)) return true;
        }
        return true;
    }

    bool Pause(int ms) override {
        pollfd fd{WakeRead, POLLIN, 0};
        return ::poll(&fd, 1, ms) == 0;
    }

    void Wake() override {
        const char b = 1;
        [[maybe_unused]] const ssize_t n = ::write(WakeWrite, &b, 1);
    }

    uint32_t LineSpeed() override { return Master >= 0 ? gTerminalSpeed(Master) : 0; }

    std::string DevicePath() const override { return Device; }

    void Close() override {
        if (Master >= 0) ::close(Master);
        Master = -1;
    }

private:
    static int MillisLeft(Clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        return left > 0 ? static_cast<int>(left) : 0;
    }

    int Master;
    int WakeRead;
    int WakeWrite;
    std::string Device;
};

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<ModemLine> gOpenModemLine(std::string& error) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        error = SystemError("posix_openpt");
        return nullptr;
    }
    char name[128];
    termios raw{};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        error = SystemError("pseudo-terminal set-up");
        ::close(master);
        return nullptr;
    }
    // Raw from the start, so the slave neither echoes nor edits lines before the
    // utility opens it and sets the line itself.
    if (::tcgetattr(master, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(master, TCSANOW, &raw);
    }
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = SystemError("pipe");
        ::close(master);
        return nullptr;
    }
    return std::make_unique<PseudoTerminal>(master, wake[0], wake[1], name);
}
