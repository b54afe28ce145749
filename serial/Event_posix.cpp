#include "serial/Event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

// An eventfd's counter is the signal: a read takes it back to zero however many
// signals came, which is exactly the auto-reset rule.

Event::Event(Reset mode) : Mode(mode), Native(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Event::~Event() {
    if (Native >= 0) close(static_cast<int>(Native));
}

void Event::Signal() {
    const uint64_t one = 1;
    while (write(static_cast<int>(Native), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool Event::IsSignalled() const {
    pollfd p{static_cast<int>(Native), POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool Event::Poll() {
    if (Mode == Reset::Manual) return IsSignalled();
    uint64_t count = 0;
    // Nonblocking: EAGAIN means not signalled; a concurrent waiter may have taken it.
    return read(static_cast<int>(Native), &count, sizeof count) == sizeof count;
}

bool Event::Wait() {
    // poll() would ignore a missing descriptor and wait for ever.
    if (Native < 0) return false;
    for (;;) {
        pollfd p{static_cast<int>(Native), POLLIN, 0};
        const int ready = poll(&p, 1, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (p.revents & (POLLERR | POLLNVAL))) return false;
        if (Poll()) return true;
    }
}

intptr_t Event::NativeHandle() const { return Native; }
