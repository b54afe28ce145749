#include "os/Event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

// An eventfd's counter is the signal: a read takes it back to zero however many
// signals came, which is exactly the auto-reset rule.

namespace {

bool Take(intptr_t native) {
    uint64_t count = 0;
    // Nonblocking: EAGAIN means not signalled; a concurrent waiter may have taken it.
    return read(static_cast<int>(native), &count, sizeof count) == sizeof count;
}

}  // namespace

Event::Event(Reset mode) : Mode(mode), Native(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Event::~Event() {
    if (Native >= 0) close(static_cast<int>(Native));
}

void Event::Signal() {
    const uint64_t one = 1;
    while (write(static_cast<int>(Native), &one, sizeof one) < 0 && errno == EINTR) {
    }
    Raised = true;
}

bool Event::IsSignalled() const {
    if (Mode == Reset::Manual) return Raised;
    // The descriptor, not the flag: a waiter it woke may look before the signaller has
    // raised the flag, and a bounded loop would run out meanwhile.
    pollfd p{static_cast<int>(Native), POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool Event::Poll() {
    if (Mode == Reset::Manual) return IsSignalled();
    return Raised.exchange(false) && Take(Native);
}


bool Event::Wait() {
    // poll() would ignore a missing descriptor and wait for ever.
    if (Native < 0) return false;
    for (;;) {
        pollfd p{static_cast<int>(Native), POLLIN, 0};
        const int ready = poll(&p, 1, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (p.revents & (POLLERR | POLLNVAL))) return false;
        // The descriptor is the truth here: a signaller may not have raised the flag yet.
        if (Mode == Reset::Manual) return true;
        Raised = false;
        if (Take(Native)) return true;
    }
}

bool Event::Valid() const { return Native >= 0; }

intptr_t Event::NativeHandle() const { return Native; }
