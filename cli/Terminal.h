#pragma once
// What the console's signal meter asks of the system.

#include <cstdio>
#include <ctime>

// Whether a stream is an operator's terminal (or console window) rather than a pipe or a file.
bool gIsTerminal(std::FILE* stream);
// The local wall-clock time now.
std::tm gLocalTimeNow();
