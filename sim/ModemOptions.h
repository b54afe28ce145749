#pragma once
// The options of kestrelix-modem, one row each: the parser and the usage both read the
// table, so a new option is one row.

#include <string>
#include <vector>

#include "sim/VirtualModem.h"

// Where an option's value goes; help is set by --help.
struct ModemArgumentTarget {
    VirtualModemOptions& Options;
    bool& Help;
};

struct ModemOption {
    const char* Heading = nullptr;  // a part of the usage that begins with this row
    const char* Name = "";
    const char* Alias = "";         // another name, as -h
    const char* Argument = "";      // in the usage; empty: a switch, which takes no value
    const char* Help = "";          // the usage's lines, '\n' between them
    std::string Refusal = {};       // when the value is missing or wrong
    // Takes value into target; false refuses it, with why set when Refusal is not enough.
    // None for --com, which starts a group of modems rather than setting one.
    bool (*Set)(const std::string& value, ModemArgumentTarget& target, std::string& why) = nullptr;
    bool OneModem = false;          // a file or number of one modem's, not of a group
};

const std::vector<ModemOption>& gModemOptions();
