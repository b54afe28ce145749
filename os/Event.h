#pragma once
// An event that one thread signals and another waits on, as the hand-over between
// the window thread and the worker needs. Auto-reset: a wait or poll that finds it
// signalled clears it, and signals do not accumulate. Manual-reset: stays signalled.
// It is backed by a descriptor that the serial backend can poll together with a port.

#include <atomic>
#include <cstdint>

class Event {
public:
    enum class Reset { Auto, Manual };

    explicit Event(Reset mode = Reset::Auto);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Signal();
    // Zero-time-out poll: true when signalled; an auto-reset event is cleared by it.
    bool Poll();
    // Waits without limit; an auto-reset event is cleared by it. True when the event was
    // signalled, false when the wait failed (the event can then never be signalled).
    [[nodiscard]] bool Wait();
    // Looks without clearing.
    bool IsSignalled() const;
    // False when the system gave the event no descriptor or handle (none left): it can
    // then never be signalled.
    bool Valid() const;
    // The pollable descriptor (POSIX) or handle (Windows) behind the event.
    intptr_t NativeHandle() const;

private:
    Reset Mode;
    intptr_t Native;
    // Set by every signal and cleared only by a take: while it is false the event is
    // not signalled, so a look needs no system call. Many ports look before every step.
    std::atomic<bool> Raised{false};
};
