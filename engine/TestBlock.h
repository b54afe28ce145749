#pragma once
// The block of bytes the data check sends each way. No I/O.

#include <cstddef>
#include <cstdint>
#include <string>

// size pseudo-random bytes from seed: the same seed gives the same block on both sides.
std::string gTestBlock(uint32_t seed, size_t size);
