#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include "os/Event.h"
#include "os/Tick.h"
#include "serial/ComNames.h"
#include "serial/LineSettings_posix.h"
#include "serial/PortOpen_posix.h"
#include "serial/SerialPlatform.h"
#include "serial/SysError_posix.h"

// Terminal devices stand in for the Win32 comm handles. All descriptors are non-blocking;
// every wait is a poll over the port and the wake events, so a stop or a cancel is seen
// at once and nothing spins.

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t MaxDword = 0xFFFFFFFFu;
constexpr const char* DevicePrefix = "\\\\.\\COM";

int Fd(PortHandle h) { return static_cast<int>(h); }

SysResult Done() { return {}; }
SysResult FromErrno() { return gErrnoResult(errno); }
SysResult FromCode(int error) { return error ? gErrnoResult(error) : Done(); }

// The COM number in "\\.\COMn", or 0 when the name is not of that form.
int ComNumber(const std::string& name) {
    const size_t prefix = std::strlen(DevicePrefix);
    if (name.compare(0, prefix, DevicePrefix) != 0 || name.size() == prefix || name[prefix] == '0') return 0;
    char* end = nullptr;
    const long n = std::strtol(name.c_str() + prefix, &end, 10);
    return *end == '\0' && n > 0 && n <= 0x7FFFFFFF ? static_cast<int>(n) : 0;
}

// What a poll over the port and the wake events found.
struct Woken {
    short Port = 0;
    bool Stop = false;
    bool Cancel = false;
    int Error = 0;
};

// Waits until the port shows one of portEvents, a wake event is signalled, or the time is
// up (no limit without one). Events are looked at, never cleared.
Woken WaitFor(int fd, short portEvents, WakeEvents wake, std::optional<Clock::time_point> until) {
    pollfd fds[3];
    nfds_t count = 0;
    if (fd >= 0) fds[count++] = {fd, portEvents, 0};
    const nfds_t stopAt = count;
    if (wake.Stop) fds[count++] = {static_cast<int>(wake.Stop->NativeHandle()), POLLIN, 0};
    const nfds_t cancelAt = count;
    if (wake.Cancel) fds[count++] = {static_cast<int>(wake.Cancel->NativeHandle()), POLLIN, 0};

    timespec timeout{};
    if (until) {
        const auto left = std::max(Clock::duration::zero(), *until - Clock::now());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
        timeout.tv_nsec = static_cast<long>(ns % 1000000000);
    }
    Woken woken;
    if (ppoll(fds, count, until ? &timeout : nullptr, nullptr) < 0) {
        woken.Error = errno == EINTR ? 0 : errno;
        return woken;
    }
    if (fd >= 0) woken.Port = fds[0].revents;
    woken.Stop = wake.Stop && fds[stopAt].revents;
    woken.Cancel = wake.Cancel && fds[cancelAt].revents;
    return woken;
}

constexpr short Broken = POLLERR | POLLHUP | POLLNVAL;

class PosixSerialPlatform : public SerialPlatform {
public:
    PortHandle OpenDevice(const std::string& name) override {
        const int n = ComNumber(name);
        const int fd = gOpenTerminalAlone(n ? gResolveComPort(n) : std::string(), Failure);
        if (fd < 0) return InvalidPortHandle;
        if (const int error = gMakeRaw(fd); error != 0) {
            Failure.Fault = OpenFault::Other;
            Failure.Code = static_cast<uint32_t>(error);
            close(fd);
            return InvalidPortHandle;
        }
        std::lock_guard lock(Mutex);
        Timeouts[fd] = CommTimeouts{};
        return fd;
    }

    OpenFailure LastOpenFailure() const override { return Failure; }

    SysResult GetLineSettings(PortHandle h, LineSettings& settings) override {
        return FromCode(gReadLineSettings(Fd(h), settings));
    }

    SysResult SetLineSettings(PortHandle h, const LineSettings& settings) override {
        return FromCode(gWriteLineSettings(Fd(h), settings));
    }

    SysResult GetTimeouts(PortHandle h, CommTimeouts& timeouts) override {
        std::lock_guard lock(Mutex);
        const auto found = Timeouts.find(Fd(h));
        if (found == Timeouts.end()) return gErrnoResult(EBADF);
        timeouts = found->second;
        return Done();
    }

    SysResult SetTimeouts(PortHandle h, const CommTimeouts& timeouts) override {
        std::lock_guard lock(Mutex);
        const auto found = Timeouts.find(Fd(h));
        if (found == Timeouts.end()) return gErrnoResult(EBADF);
        found->second = timeouts;
        return Done();
    }

    // Nothing waits for comm events here; only the handle is checked.
    SysResult SetEventMask(PortHandle h, uint32_t) override {
        return fcntl(Fd(h), F_GETFD) < 0 ? FromErrno() : Done();
    }

    SysResult Purge(PortHandle h, uint32_t flags) override {
        const bool input = flags & PurgeRxClear;
        const bool output = flags & PurgeTxClear;
        if (!input && !output) return fcntl(Fd(h), F_GETFD) < 0 ? FromErrno() : Done();
        const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return tcflush(Fd(h), queue) == 0 ? Done() : FromErrno();
    }

    SysResult EscapeFunction(PortHandle h, uint32_t function) override {
        int bit = 0;
        switch (function) {
        case EscapeSetDtr: bit = TIOCM_DTR; break;
        case EscapeSetRts: bit = TIOCM_RTS; break;
        default: return gErrnoResult(EINVAL);
        }
        // The lines are raised before every command; a device that has none is asked once.
        if (WithoutModemLines.count(Fd(h))) return Done();
        const int error = gSetModemLines(Fd(h), bit, true);
        if (!gLacksModemLines(error)) return FromCode(error);
        WithoutModemLines.insert(Fd(h));
        return Done();
    }

    // A terminal keeps no error state that would fail later calls.
    void ClearLineErrors(PortHandle) override {}

    SysResult Read(PortHandle h, uint8_t* buffer, size_t size, size_t& got, WakeEvents wake) override {
        got = 0;
        const int fd = Fd(h);
        CommTimeouts t;
        if (SysResult r = GetTimeouts(h, t); !r.Ok()) return r;
        const Clock::time_point begin = Clock::now();
        // An interval of MAXDWORD with no totals: whatever is there, at once.
        const bool atOnce = t.ReadIntervalTimeout == MaxDword && t.ReadTotalTimeoutMultiplier == 0 &&
                            t.ReadTotalTimeoutConstant == 0;
        const uint64_t totalMs = uint64_t{t.ReadTotalTimeoutMultiplier} * size + t.ReadTotalTimeoutConstant;
        std::optional<Clock::time_point> total;
        if (totalMs) total = begin + std::chrono::milliseconds(totalMs);
        Clock::time_point lastByte = begin;
        bool hungUp = false;

        for (;;) {
            if (got < size) {
                const ssize_t n = read(fd, buffer + got, size - got);
                if (n > 0) {
                    got += static_cast<size_t>(n);
                    lastByte = Clock::now();
                    if (got == size) return Done();
                    continue;
                }
                // A device that has gone (unplugged, the other end of a pty closed) reads 0 for ever.
                if (n == 0) return gErrnoResult(EIO);
                if (errno != EAGAIN && errno != EWOULDBLOCK) return FromErrno();
            }
            if (hungUp) return gErrnoResult(EIO);
            if (atOnce) return Done();

            std::optional<Clock::time_point> until = total;
            if (got > 0 && t.ReadIntervalTimeout && t.ReadIntervalTimeout != MaxDword) {
                const auto gap = lastByte + std::chrono::milliseconds(t.ReadIntervalTimeout);
                until = until ? std::min(*until, gap) : gap;
            }
            if (until && Clock::now() >= *until) return Done();

            // With the buffer full only a hang-up of the port is of interest.
            const Woken woken = WaitFor(fd, got < size ? POLLIN : 0, wake, until);
            if (woken.Error) return gErrnoResult(woken.Error);
            if (woken.Cancel) return gErrnoResult(ECANCELED);
            if (woken.Stop) return Done();
            hungUp = woken.Port & Broken;
        }
    }

    SysResult Write(PortHandle h, const uint8_t* data, size_t size, WakeEvents wake) override {
        const int fd = Fd(h);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = write(fd, data + done, size - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return FromErrno();
            // The output buffer is full: wait for room rather than fail.
            const Woken woken = WaitFor(fd, POLLOUT, {nullptr, wake.Cancel}, std::nullopt);
            if (woken.Error) return gErrnoResult(woken.Error);
            if (woken.Cancel) return gErrnoResult(ECANCELED);
            if ((woken.Port & Broken) && !(woken.Port & POLLOUT)) return gErrnoResult(EIO);
        }
        return Drain(fd, wake);
    }

    void CloseDevice(PortHandle h) override {
        {
            std::lock_guard lock(Mutex);
            Timeouts.erase(Fd(h));
        }
        WithoutModemLines.erase(Fd(h));
        ioctl(Fd(h), TIOCNXCL);
        close(Fd(h));
    }

    void Pause(uint32_t ms, WakeEvents wake) override {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            const Woken woken = WaitFor(-1, 0, wake, until);
            if (woken.Stop || woken.Cancel) return;
        }
    }

    uint32_t TickMs() override { return gTickCount(); }

private:
    // A write is done when its bytes have left the port, as a synchronous comm write is.
    // Waits the time the queued bytes take at the line's speed instead of blocking in
    // tcdrain, so a cancel still ends it.
    static SysResult Drain(int fd, WakeEvents wake) {
        for (;;) {
            int queued = 0;
            if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return Done();
            const uint32_t read = gReadLineSpeed(fd);
            const uint32_t speed = read ? read : 9600;
            const auto needed = std::chrono::microseconds(uint64_t{10} * 1000000u * unsigned(queued) / speed);
            const auto until = Clock::now() + std::max<Clock::duration>(needed, std::chrono::milliseconds(1));
            if (WaitFor(-1, 0, {nullptr, wake.Cancel}, until).Cancel) return gErrnoResult(ECANCELED);
        }
    }

    std::mutex Mutex;
    std::map<int, CommTimeouts> Timeouts;
    // Descriptors whose device has no modem-control lines; only the port's own thread uses it.
    std::set<int> WithoutModemLines;
    // Only the thread that opens reads it, right after a failed open.
    OpenFailure Failure;
};

}  // namespace

std::unique_ptr<SerialPlatform> gMakeSystemSerialPlatform() { return std::make_unique<PosixSerialPlatform>(); }
