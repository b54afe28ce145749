#include "sim/SignalWalk.h"

#include <algorithm>

namespace {
// About one reading in forty starts a run of two to five readings without signal.
constexpr int LossChance = 40;
constexpr int ShortestLoss = 2;
constexpr int LongestLoss = 5;
}  // namespace

SignalWalk::SignalWalk(int start, uint32_t seed) : Level(start >= 0 && start <= 31 ? start : 17), Random(seed) {}

int SignalWalk::Next() {
    if (LostLeft > 0) {
        --LostLeft;
        return 99;
    }
    if (std::uniform_int_distribution<int>(1, LossChance)(Random) == 1) {
        LostLeft = std::uniform_int_distribution<int>(ShortestLoss, LongestLoss)(Random) - 1;
        return 99;
    }
    Level = std::clamp(Level + std::uniform_int_distribution<int>(-1, 1)(Random), 0, 31);
    return Level;
}
