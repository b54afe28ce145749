#include "os/Event.h"

#include <windows.h>

namespace {

HANDLE H(intptr_t native) { return reinterpret_cast<HANDLE>(native); }

}  // namespace

Event::Event(Reset mode)
    : Mode(mode), Native(reinterpret_cast<intptr_t>(CreateEventA(nullptr, mode == Reset::Manual, FALSE, nullptr))) {}

Event::~Event() {
    if (Native) CloseHandle(H(Native));
}

void Event::Signal() {
    SetEvent(H(Native));
    Raised = true;
}

// Windows cannot look at an auto-reset event without taking its signal: a look that
// finds it signalled puts the signal back.
bool Event::IsSignalled() const {
    if (Mode == Reset::Manual) return Raised;
    // The handle, not the flag: a waiter it woke may look before the signaller has
    // raised the flag, and a bounded loop would run out meanwhile.
    if (WaitForSingleObject(H(Native), 0) != WAIT_OBJECT_0) return false;
    SetEvent(H(Native));
    return true;
}

bool Event::Poll() {
    if (Mode == Reset::Manual) return IsSignalled();
    if (!Raised.exchange(false)) return false;
    return WaitForSingleObject(H(Native), 0) == WAIT_OBJECT_0;
}

bool Event::Wait() { return WaitForSingleObject(H(Native), INFINITE) == WAIT_OBJECT_0; }

bool Event::Valid() const { return Native != 0; }

intptr_t Event::NativeHandle() const { return Native; }
