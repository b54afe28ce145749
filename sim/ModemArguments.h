#pragma once
// The command line of kestrelix-modem.

#include <string>
#include <vector>

#include "sim/VirtualModem.h"

extern const char* const ModemUsage;

// Fills options from the arguments (without the program name). Empty on success,
// otherwise what is wrong; help is set by --help.
std::string gParseModemArguments(const std::vector<std::string>& args, VirtualModemOptions& options,
                                 bool& help);
