#pragma once
// The build date as the About box shows it: "Dec  7 2026", the month's English
// abbreviation, the day right-aligned in two characters and the four-digit year.

#include <string>

// month is 1 to 12; another month gives "???".
std::string gFormatBuildDate(int year, int month, int day);

// The day this file was compiled, in that form, whatever padding the compiler used.
std::string gBuildDate();
