#pragma once
// What a run may use of the engine while it works: the clock its ports run on, the
// operator's stop, the rows it reports, the search for a modem and its outcome. Nothing
// of the window's choices or the worker.

#include <cstdint>
#include <string>

#include "engine/CallOutcome.h"
#include "engine/RunOutcome.h"

class SerialPort;
struct SignalReading;
struct UnaskedLine;

enum class SearchEnd { Found, Silent, Stopped, PortFailed };

class RunContext {
public:
    virtual ~RunContext() = default;
    virtual bool StopAsked() const = 0;
    // The engine is ending: no row reaches a window any more.
    virtual bool Ending() const = 0;
    // Milliseconds on the clock of the run's ports, which tests play faster.
    virtual uint32_t Now() = 0;
    // A row in the log that the status line shows too.
    virtual void Progress(const std::string& row) = 0;
    // A row in the log and a message box.
    virtual void Failure(const std::string& row) = 0;
    virtual void Status(const std::string& text) = 0;
    // A row for a line the modem sent unasked that the operator must know.
    virtual void Unasked(const UnaskedLine& line) = 0;
    // The operator's answer to a question; no when nobody can answer.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // A reading for the signal meter.
    virtual void ShowSignal(const SignalReading& reading) = 0;
    virtual SearchEnd FindModem(SerialPort& port) = 0;
    // The speed at which the last search found the modem.
    virtual int32_t FoundSpeed() const = 0;
    // After a search that heard the modem but got no answer, the row that it may still
    // have been starting.
    virtual void HintStillStarting() = 0;
    virtual RunOutcome& Outcome() = 0;
    // Sets the run's result and writes its kind's final row for it (engine/RunFrame.cpp).
    virtual void Finish(RunResult result) = 0;
    virtual void FinishCall(CallResult end) = 0;

    // How a run that got past its open ended: success, else a stop when one was asked,
    // else a failed port, else failure.
    RunResult EndOf(bool succeeded, bool portFailed = false) const;
};
