#include "sim/ModemLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "serial/LineSettings_posix.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often Drain looks at the other side's queue; the kernel tells no event for it.
constexpr int DrainPollMs = 2;
// How long written bytes may take to show in that queue.
constexpr int ArriveMs = 500;

int MillisLeft(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The master, and the modem's own descriptor of the slave. Holding the slave open keeps
// the master from reporting a hang-up each time the utility closes its port, and lets
// the modem see how much the utility has not read yet.
class PseudoTerminal : public ModemLine {
public:
    PseudoTerminal(int master, int slave, int wakeRead, int wakeWrite, int poked, std::string device)
        : Master(master), Slave(slave), WakeRead(wakeRead), WakeWrite(wakeWrite), Poked(poked),
          Device(std::move(device)) {}

    ~PseudoTerminal() override {
        Close();
        ::close(WakeRead);
        ::close(WakeWrite);
        ::close(Poked);
    }

    ReadResult Read(std::string& into, int timeoutMs) override {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            pollfd fds[3] = {{WakeRead, POLLIN, 0}, {Poked, POLLIN, 0}, {Master, POLLIN, 0}};
            const int ready = ::poll(fds, Master >= 0 ? 3 : 2, MillisLeft(end));
            if (fds[0].revents) return ReadResult::Woken;
            if (fds[1].revents) {
                eventfd_t count = 0;
                ::eventfd_read(Poked, &count);
                return ReadResult::Poked;
            }
            if (ready > 0 && (fds[2].revents & POLLIN)) {
                char buffer[512];
                const ssize_t n = ::read(Master, buffer, sizeof buffer);
                if (n > 0) {
                    into.append(buffer, static_cast<size_t>(n));
                    return ReadResult::Data;
                }
            }
            if (MillisLeft(end) == 0 || (ready < 0 && errno != EINTR)) return ReadResult::Idle;
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
            // The other side's queue is full: wait until it reads or purges.
            pollfd fds[2] = {{WakeRead, POLLIN, 0}, {Master, POLLOUT, 0}};
            ::poll(fds, 2, -1);
            if (fds[0].revents) return false;
        }
        return true;
    }

    bool Drain(int timeoutMs) override {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        // Written bytes reach the other side's queue a moment later, through a kernel
        // worker; unless the other side has read them already, wait until they show.
        pollfd fds[2] = {{WakeRead, POLLIN, 0}, {Slave, POLLIN, 0}};
        if (Slave >= 0 && ::poll(fds, 2, std::min(ArriveMs, timeoutMs)) > 0 && fds[0].revents) return false;
        for (;;) {
            int unread = 0;
            if (Slave < 0 || ::ioctl(Slave, FIONREAD, &unread) != 0 || unread == 0) return true;
            const int left = MillisLeft(end);
            if (left == 0) return true;
            if (!Pause(left < DrainPollMs ? left : DrainPollMs)) return false;
        }
    }

    bool Pause(int ms) override {
        pollfd fd{WakeRead, POLLIN, 0};
        return ::poll(&fd, 1, ms) == 0;
    }

    void Wake() override {
        const char b = 1;
        [[maybe_unused]] const ssize_t n = ::write(WakeWrite, &b, 1);
    }

    void Poke() override { ::eventfd_write(Poked, 1); }

    uint32_t LineSpeed() override {
        return Master >= 0 ? gReadLineSpeed(Master) : 0;
    }

    std::string DevicePath() const override { return Device; }

    void Close() override {
        if (Slave >= 0) ::close(Slave);
        if (Master >= 0) ::close(Master);
        Slave = Master = -1;
    }

private:
    int Master;
    int Slave;
    int WakeRead;
    int WakeWrite;
    int Poked;  // an eventfd
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
    int slave = -1;
    int wake[2] = {-1, -1};
    int poked = -1;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0 ||
        (slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) < 0 ||
        ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0 || (poked = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) < 0) {
        error = SystemError("pseudo-terminal set-up");
        for (const int fd : {slave, wake[0], wake[1]})
            if (fd >= 0) ::close(fd);
        ::close(master);
        return nullptr;
    }
    // Raw from the start, so the slave neither echoes nor edits lines before the
    // utility opens it and sets the line itself.
    gMakeRaw(slave);
    return std::make_unique<PseudoTerminal>(master, slave, wake[0], wake[1], poked, name);
}
