#pragma once
#include <cstdint>

// Milliseconds from a monotonic clock, as a 32-bit value that wraps around.
uint32_t gTickCount();
