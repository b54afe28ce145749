#pragma once
// Reading a +CREG line, in either of its two forms: the answer to AT+CREG?,
// "+CREG: <n>,<stat>[,<lac>,<ci>[,<AcT>...]]", and the unsolicited line that a modem may
// send in its place, "+CREG: <stat>[,<lac>,<ci>[,<AcT>...]]". No I/O.

#include <optional>
#include <string_view>

// The highest registration state a modem reports (attached for RLOS).
inline constexpr int LastRegistrationState = 11;

// The state, 0 to 11, of a +CREG line; none when the line is no +CREG line or its state
// cannot be told for certain.
std::optional<int> gRegistrationStat(std::string_view line);

// The check's words for a state of 0 to 11.
const char* gRegistrationWords(int stat);
