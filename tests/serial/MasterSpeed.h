#pragma once
#include <cstdint>

// The line speed that a pseudo-terminal's master reports for its slave, custom ones included.
uint32_t gMasterSpeed(int master);
