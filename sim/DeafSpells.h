#pragma once
// When a modem hears nothing of what the other side sends: while it starts after being
// switched on, and just after the result of AT+IPR. Real time; no I/O.

#include <chrono>
#include <cstdint>

#include "sim/RealBehaviour.h"

class DeafSpells {
public:
    explicit DeafSpells(const RealBehaviour& real) : BootMs(real.BootMs), SettleMs(real.IprSettleMs) {}

    // The other side spoke: the first time, the modem is switched on.
    void Heard();
    // The result of AT+IPR went out.
    void SpeedChanged();
    bool Deaf() const;
    // True once, when the start-up has just ended.
    bool TakeStarted();
    // The longest wait for bytes that still notices the end of the start-up in time.
    int WaitMs(int idleMs) const;

private:
    using Clock = std::chrono::steady_clock;

    uint32_t BootMs;
    uint32_t SettleMs;
    bool Booting = false;
    bool SwitchedOn = false;
    Clock::time_point DeafUntil{};
};
