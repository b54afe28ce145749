#pragma once
// The operating system's words for an error code, for every layer that reports one: the
// serial port and the windows' file errors alike.

#include <cstdint>
#include <string>

// The operating system's text for an error code; empty when it has none.
std::string gGetErrorText(uint32_t code);
