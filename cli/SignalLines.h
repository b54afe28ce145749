#pragma once
// The console's lines for the signal meter, in UTF-8.

#include <ctime>
#include <string>

#include "toolkit/SignalReading.h"

// For a terminal: a bar of block characters, the level, the words and the registration,
// "[██████████░░░░░░░░░░] -79 дБм, хороший, домашняя сеть".
std::string gSignalMeterLine(const SignalReading& reading);

// For a pipe or a file: "17:05:03;-79;17;домашняя сеть", the dBm field empty for 99.
std::string gSignalDataLine(const SignalReading& reading, std::tm localTime);
