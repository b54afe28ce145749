#pragma once
// The level of a modem whose antenna is being moved: each reading a step of at most one
// up or down between 0 and 31, and now and then a short run of 99 (no signal), after
// which the level goes on from where it was. Repeatable from its seed.

#include <cstdint>
#include <random>

class SignalWalk {
public:
    SignalWalk(int start, uint32_t seed);
    // The level for the next reading.
    int Next();

private:
    int Level;
    int LostLeft = 0;  // readings of 99 still to come
    std::mt19937 Random;
};
