#include "engine/EngineContext.h"

#include "engine/ConfigEngine.h"
#include "toolkit/Toolkit.h"

bool EngineContext::StopAsked() const { return Engine.StopRequested != 0; }

bool EngineContext::Ending() const { return Engine.IsEnding(); }

// The ports of one engine share one platform's clock.
uint32_t EngineContext::Now() { return Engine.Port.TickMs(); }

void EngineContext::Progress(const std::string& row) { Engine.ReportProgress(row); }

void EngineContext::Failure(const std::string& row) { Engine.ReportFailure(row); }

void EngineContext::Status(const std::string& text) { Engine.ShowStatus(text); }

void EngineContext::Unasked(const UnaskedLine& line) { Engine.ReportUnasked(line); }

bool EngineContext::AskYesNo(const std::string& text, const std::string& caption) {
    Toolkit* w = Engine.Window();
    return w && w->AskYesNo(text, caption);
}

void EngineContext::ShowSignal(const SignalReading& reading) {
    if (Toolkit* w = Engine.Window()) w->ShowSignal(reading);
}

SearchEnd EngineContext::FindModem(SerialPort& port) {
    if (Engine.FindModem(port)) return SearchEnd::Found;
    if (Engine.StopRequested) return SearchEnd::Stopped;
    return Engine.SearchPortFailed ? SearchEnd::PortFailed : SearchEnd::Silent;
}

int32_t EngineContext::FoundSpeed() const { return Engine.FoundSpeed; }

void EngineContext::HintStillStarting() { Engine.HintStillStarting(); }

RunOutcome& EngineContext::Outcome() { return Engine.Outcome; }

void EngineContext::Finish(RunResult result) { Engine.Finish(result); }

void EngineContext::FinishCall(CallResult end) { Engine.FinishCall(end); }
