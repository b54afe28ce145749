#pragma once
// Reading the SIM card's state: the answer to AT+CPIN? ("+CPIN: READY", "+CPIN: SIM PIN",
// the phone and network locks...) and the +CME ERROR that a modem gives in its place when
// the card is missing or locked, by number or, with AT+CMEE=2, in words. No I/O.

#include <optional>
#include <string>
#include <string_view>

// The code of a +CPIN line tidied of blanks and quotes ("SIM PIN"); none for another line.
std::optional<std::string> gSimCode(std::string_view line);

// The check's words for a +CPIN code; none for a code it does not know.
std::optional<std::string> gSimCodeWords(std::string_view code);

// The check's words for the error a modem gave for AT+CPIN?, by its +CME ERROR number
// (or -1) and the error as the modem wrote it; none for an error that says nothing of the card.
std::optional<std::string> gSimErrorWords(int cmeError, std::string_view finalCode);
