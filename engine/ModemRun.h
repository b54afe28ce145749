#pragma once
// What the job, the check, the signal and the PIN runs share: one open port, the modem
// found and asked on it the same way, and the engine seen only through the run's context.

#include <cstdint>
#include <string>

#include "engine/Run.h"
#include "engine/RunContext.h"
#include "serial/SerialPort.h"

struct InfoReply;

class ModemRun : public Run {
public:
    ModemRun(RunContext& context, SerialPort& port) : Context(context), Port(port) {}

protected:
    // FindModem, SetSpeed and SendText give 1 for success and 0 for failure.
    int32_t FindModem();
    int32_t SetSpeed(int32_t speed);
    int32_t SendText(const char* text);
    ReplyCode AwaitReply(const char* command, const char* expected, const char* alternative,
                         uint32_t timeoutMs, char* reply, uint32_t heardTimeoutMs = 0);
    // A question the check asks (ModemCheck.cpp), as the signal and PIN runs ask theirs.
    enum class AskOutcome { Answer, Stop, PortFailure };
    AskOutcome Ask(const char* command, InfoReply& answer);

    void ReportProgress(const std::string& row) { Context.Progress(row); }
    // Reports the failure unless the operator stopped the run: a stop is not an error.
    void ReportFailureUnlessStopped(const std::string& text);
    // A row for each line sent unasked beside the last reply that the operator must know.
    void ReportUnasked();
    void HintStillStarting() { Context.HintStillStarting(); }
    void Finish(RunResult result) { Context.Finish(result); }
    RunResult EndOf(bool succeeded, bool portFailed = false) const { return Context.EndOf(succeeded, portFailed); }

    RunContext& Context;
    SerialPort& Port;
    // Reads as a flag, set once the operator has asked to stop.
    struct StopFlag {
        const RunContext& Context;
        explicit operator bool() const { return Context.StopAsked(); }
    };
    const StopFlag StopRequested{Context};
    // Set when FindModem last ended because the port failed, not for want of an answer.
    bool SearchPortFailed = false;
    // The speed at which FindModem last found the modem.
    int32_t FoundSpeed = 0;
};
