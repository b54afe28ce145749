#pragma once
// What a run may use of the engine while it works: the clock its ports run on, the
// operator's stop, the rows it reports, the search for a modem and its outcome. Nothing
// of the window's choices or the worker.

#include <cstdint>
#include <string>

class SerialPort;
struct RunOutcome;
struct UnaskedLine;

enum class SearchEnd { Found, Silent, Stopped, PortFailed };

class RunContext {
public:
    virtual ~RunContext() = default;
    virtual bool StopAsked() const = 0;
    // Milliseconds on the clock of the run's ports, which tests play faster.
    virtual uint32_t Now() = 0;
    // A row in the log that the status line shows too.
    virtual void Progress(const std::string& row) = 0;
    // A row in the log and a message box.
    virtual void Failure(const std::string& row) = 0;
    virtual void Status(const std::string& text) = 0;
    // A row for a line the modem sent unasked that the operator must know.
    virtual void Unasked(const UnaskedLine& line) = 0;
    virtual SearchEnd FindModem(SerialPort& port) = 0;
    virtual RunOutcome& Outcome() = 0;
};
