// The frame every run shares: its ports opened in order, a stop during the open
// attempts, and how a run's end shows. Each kind does only its own work between.

#include <array>

#include "engine/CallEnds.h"
#include "engine/CheckRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/Run.h"
#include "engine/RunContext.h"
#include "engine/SignalValue.h"

namespace {

// The row that ends each kind of run, by its result. The signal job's success ends with
// its summary, which it writes itself; a test call's rows are its own (engine/CallEnds.cpp).
struct FinalRows {
    RunKind Kind;
    const char* Succeeded;
    const char* Failed;
    const char* Stopped;
    const char* PortFailed;
};

constexpr std::array<FinalRows, 4> Rows = {{
    {RunKind::Job, Msg::Succeeded, Msg::NotSucceeded, Msg::NotSucceeded, Msg::NotSucceeded},
    {RunKind::Check, CheckMsg::Answered, CheckMsg::NotAnswered, CheckMsg::Stopped, CheckMsg::PortFailed},
    {RunKind::Pin, Msg::Succeeded, Msg::NotSucceeded, Msg::NotSucceeded, Msg::NotSucceeded},
    {RunKind::Signal, nullptr, SignalMsg::NotAnswered, SignalMsg::Stopped, SignalMsg::NotAnswered},
}};

const char* FinalRow(RunKind kind, RunResult result) {
    for (const FinalRows& rows : Rows) {
        if (rows.Kind != kind) continue;
        switch (result) {
        case RunResult::Succeeded: return rows.Succeeded;
        case RunResult::Stopped: return rows.Stopped;
        case RunResult::PortFailed: return rows.PortFailed;
        case RunResult::Failed:
        case RunResult::PortNotOpened: return rows.Failed;
        }
    }
    return nullptr;
}

}  // namespace

void ConfigEngine::RunInFrame(Run& run, std::initializer_list<PortToOpen> ports) {
    if (!OpenPorts(ports)) return;
    run.Work();
    ClosePorts();
}

bool ConfigEngine::OpenPorts(std::initializer_list<PortToOpen> ports) {
    for (const PortToOpen& port : ports) {
        ReportProgress(gFormat(Msg::Opening, port.Com));
        if (port.Port->Open(port.Com) == 0) continue;
        // A stop during the open attempts ends the run as a stop at any later point does.
        if (StopRequested) {
            if (Outcome.Kind == RunKind::Call) FinishCall(CallResult::Stopped);
            else Finish(RunResult::Stopped);
        }
        ClosePorts();
        return false;
    }
    return true;
}

void ConfigEngine::ClosePorts() {
    AnswerPort.Close();
    Port.Close();
}

RunResult RunContext::EndOf(bool succeeded, bool portFailed) const {
    if (succeeded) return RunResult::Succeeded;
    if (StopAsked()) return RunResult::Stopped;
    return portFailed ? RunResult::PortFailed : RunResult::Failed;
}

void ConfigEngine::Finish(RunResult result) {
    Outcome.Result = result;
    if (const char* row = FinalRow(Outcome.Kind, result)) ReportProgress(row);
}

void ConfigEngine::FinishCall(CallResult end) {
    const CallEnd& shown = gCallEnd(end);
    Outcome.Call.End = shown.End;
    Outcome.Result = shown.Run;
    if (shown.FinalRow) ReportProgress(shown.FinalRow);
}
