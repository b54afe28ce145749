#include "engine/EngineContext.h"

#include "engine/ConfigEngine.h"

bool EngineContext::StopAsked() const { return Engine.StopRequested != 0; }

// The ports of one engine share one platform's clock.
uint32_t EngineContext::Now() { return Engine.Port.TickMs(); }

void EngineContext::Progress(const std::string& row) { Engine.ReportProgress(row); }

void EngineContext::Failure(const std::string& row) { Engine.ReportFailure(row); }

void EngineContext::Status(const std::string& text) { Engine.ShowStatus(text); }

void EngineContext::Unasked(const UnaskedLine& line) { Engine.ReportUnasked(line); }

SearchEnd EngineContext::FindModem(SerialPort& port) {
    if (Engine.FindModem(port)) return SearchEnd::Found;
    if (Engine.StopRequested) return SearchEnd::Stopped;
    return Engine.SearchPortFailed ? SearchEnd::PortFailed : SearchEnd::Silent;
}

RunOutcome& EngineContext::Outcome() { return Engine.Outcome; }
