#pragma once
// How a run ended, as a value a front end decides on. The run's final row tells the
// operator the same in words; the value is set before that row is written, so that
// no front end has to read the row back.

#include <cstdint>
#include <string>

#include "engine/CallOutcome.h"

// What the last modem check learned: written by the worker during the check.
struct ModemFindings {
    bool Answered = false;
    int32_t Speed = 0;  // where the search found the modem
    std::string Maker;
    std::string Model;
    std::string Imei;
};

enum class RunKind { Job, Check, Signal, Pin, Call };

enum class RunResult {
    Succeeded,      // configured; the modem answered the check; the PIN request is off; the level was read
    Failed,         // the run ended without success, for any reason but the three below
    Stopped,        // the operator stopped it
    PortNotOpened,  // the port could not be opened, or none was chosen
    PortFailed,     // the port failed to write or read during the run
};

struct RunOutcome {
    RunKind Kind = RunKind::Job;
    RunResult Result = RunResult::PortNotOpened;
    ModemFindings Findings;  // a check's
    CallFindings Call;       // a test call's
};
