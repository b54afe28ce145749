#pragma once
// Cutting the bytes a modem sends into lines as they arrive. No I/O.

#include <optional>
#include <string>

// pending holds a line not yet ended; empty lines and NUL bytes are dropped. Returns the
// next whole line, or none.
std::optional<std::string> gTakeLine(std::string& pending);
