#pragma once
// The console's options, one row each: the parser and the usage's lines both read the
// table, so a new option is one row.

#include <string>
#include <vector>

#include "cli/CliOptions.h"

enum class CliTakes { Nothing, Value, MaybeValue };

// The usage's lines, one for each kind of run, and one for the requests that run none.
enum CliLine : unsigned {
    UsageOfJob = 1,
    UsageOfCheck = 2,
    UsageOfSimPin = 4,
    UsageOfSignal = 8,
    UsageOfCall = 16,
    UsageAlone = 32,
};
inline constexpr CliLine CliLines[] = {UsageOfJob, UsageOfCheck, UsageOfSimPin, UsageOfSignal, UsageOfCall, UsageAlone};

// Where an option's value goes.
struct CliSetting {
    CliOptions& Options;
    bool Again = false;     // the option came before
    bool HasValue = false;  // an optional value was given
    bool ShowUsage = true;  // false when the refusal itself says what is allowed
};

struct CliOption {
    const char* Name = "";
    const char* Alias = "";
    CliTakes Value = CliTakes::Nothing;
    const char* Argument = "";     // in the usage
    const char* OnePortArgument = "";  // in its place on the line of an option that takes one port
    // CliTakes the value (empty for a switch); the refusal, or empty.
    std::string (*Set)(const std::string& value, CliSetting& s) = nullptr;
    unsigned Shown = 0;            // the usage lines it is offered on
    CliLine Leads = {};               // the usage line that it begins
    std::vector<std::string> Excludes = {};  // options that cannot come with it
    bool OnePort = false;          // it takes one COM port
    const char* Needs = "";        // an option without which it means nothing
    const char* Clash = "";        // the refusal when one of these rules is broken
};

// In order of the usage's lines; when several rules are broken, the last one's refusal
// stands.
const std::vector<CliOption>& gCliOptionTable();
