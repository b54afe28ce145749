#pragma once
// The command line of kestrelix-modem.

#include <string>
#include <vector>

#include "sim/VirtualModem.h"

// The usage text, every option with its help.
std::string gModemUsage();

// Fills options from the arguments of one modem (without the program name and --com).
// Empty on success, otherwise what is wrong; help is set by --help.
std::string gParseModemArguments(const std::vector<std::string>& args, VirtualModemOptions& options,
                                 bool& help);

// The modems of one process, one for each COM number: each --com LIST starts a group of
// modems, the options after it are that group's, and those before the first --com are
// every group's. Without --com, one modem on COM1. Empty on success.
std::string gParseModemGroups(const std::vector<std::string>& args, std::vector<VirtualModemOptions>& modems,
                              bool& help);
