#pragma once
// Each end of a test call as everything that shows it: the run's result, the call's final
// row and the word the report names it by.

#include "engine/CallOutcome.h"
#include "engine/RunOutcome.h"

struct CallEnd {
    CallResult End;
    RunResult Run;
    const char* FinalRow;  // none when the call never began
    const char* Word;
};

const CallEnd& gCallEnd(CallResult end);
