#pragma once
// Which numbers a test call may dial: the one rule of the utility, its windows and the
// virtual modem's network. No I/O.

#include <string_view>

// 3 to 20 digits, with an optional + before the first.
bool gIsCallNumber(std::string_view number);
