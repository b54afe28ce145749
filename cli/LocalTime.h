#pragma once
// The local wall-clock time, for the console's data lines.

#include <ctime>

std::tm gLocalTimeNow();
