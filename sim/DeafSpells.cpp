#include "sim/DeafSpells.h"

#include <algorithm>

void DeafSpells::Heard() {
    if (SwitchedOn) return;
    SwitchedOn = true;
    if (BootMs == 0) return;
    Booting = true;
    DeafUntil = Clock::now() + std::chrono::milliseconds(BootMs);
}

void DeafSpells::SpeedChanged() {
    if (SettleMs > 0) DeafUntil = Clock::now() + std::chrono::milliseconds(SettleMs);
}

bool DeafSpells::Deaf() const { return Clock::now() < DeafUntil; }

bool DeafSpells::TakeStarted() {
    if (!Booting || Deaf()) return false;
    Booting = false;
    return true;
}

int DeafSpells::WaitMs(int idleMs) const {
    if (!Booting) return idleMs;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(DeafUntil - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 1, idleMs));
}
