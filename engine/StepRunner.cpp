// Carries out the step list on the open port: the modem search, the speed change and the
// commands, each reported as it happens. The first failure ends the run; every run ends
// with exactly one final line. The search is every run's.

#include <cstdlib>
#include <cstring>

#include "engine/ConfigEngine.h"
#include "engine/Cp1251.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/PortCommands.h"
#include "engine/StepRunner.h"
#include "serial/ReplyParser.h"

namespace {

constexpr uint32_t ProbeTimeoutMs = 1000;
// A modem that has echoed the probe is at this speed: its result is waited for this long
// rather than taken, late, for the next probe's at another speed.
constexpr uint32_t HeardProbeTimeoutMs = 5000;
constexpr int ProbeAttempts = 2;
constexpr const char* Probe = "AT\r";

// How long a modem that has echoed a command may go on working on it before its result.
// ATS0=n with n > 0 makes a GPRS attach first when the modem is so configured (MC55 and
// MC52i AT Command Sets, ATS0); an attach gives up after five tries of 15 s each (3GPP
// TS 24.008, T3310). No other command of the job is known to take longer than its time-out.
constexpr uint32_t AttachBoundMs = 75000;

uint32_t WorkingBoundMs(const char* command) {
    return std::strncmp(command, "ATS0=", 5) == 0 && std::atoi(command + 5) > 0 ? AttachBoundMs : 0;
}

// The modem takes the new rate after the result of AT+IPR and needs 100 ms before the
// next command (TC35 AT Command Set, AT+IPR); 300 ms at 1200 bit/s (TC63 AT Command
// Set, URCs).
uint32_t SettleMs(const char* command, int32_t speed) {
    if (std::strncmp(command, "AT+IPR=", 7) != 0) return 0;
    return speed <= 1200 || std::atoi(command + 7) <= 1200 ? 300 : 100;
}

// A command or a reply as the operator sees it: one line, decoded from the modem's code page.
std::string Shown(const char* bytes, size_t length) {
    return gCp1251ToUtf8(ConfigEngine::StripLineEnds(std::string(bytes, length)));
}

std::string Shown(const char* text) { return Shown(text, std::strlen(text)); }

}  // namespace

int32_t ConfigEngine::FindModem(SerialPort& port) {
    SearchPortFailed = false;
    SearchHeard = false;
    ToldUnasked.clear();
    auto portFailed = [this] {
        SearchPortFailed = !StopRequested;
        return 0;
    };
    for (int32_t speed : ProbeSpeeds) {
        ReportProgress(gFormat(Msg::Searching, speed));
        if (!gSetSpeed(port, speed)) return portFailed();
        for (int attempt = 0; attempt < ProbeAttempts; ++attempt) {
            if (!gSendCommand(port, Probe)) return portFailed();
            const ReplyCode code =
                port.ReadReply(Probe, VerboseOk, NumericOk, ProbeTimeoutMs, nullptr, HeardProbeTimeoutMs);
            SearchHeard = SearchHeard || port.LastHeard.Bytes > 0;
            if (code == Ok) {
                FoundSpeed = speed;
                return 1;
            }
            if (code == Failed) return portFailed();
            if (code == Stopped) return 0;
        }
    }
    return 0;
}

// The modem sets S0 even when the attach that ATS0=n starts fails (MC55 AT Command Set,
// ATS0): its own reading of S0 tells whether this error left it set.
void JobRun::ReportS0AfterError(const char* command) {
    if (std::strncmp(command, "ATS0=", 5) != 0 || StopRequested) return;
    const int wanted = std::atoi(command + 5);
    const std::optional<long> value = gReadSRegister(Port, "ATS0?\r", ProbeTimeoutMs);
    ReportUnasked();
    if (value == wanted) ReportProgress(gFormat(Msg::S0SetAnyway, wanted));
}

bool JobRun::RunCommand(const ConfigStep& step, int32_t& outcome) {
    // One byte beyond the reader's 1024 keeps a full reply zero-terminated.
    char reply[ReplyBufferSize + 1];
    const std::string command = Shown(step.Text);
    for (int32_t attempt = 0; attempt < step.Attempts; ++attempt) {
        ReportProgress(gFormat(Msg::Executing, command.c_str()));
        std::memset(reply, 0, sizeof reply);
        if (!SendText(step.Text)) return false;
        const uint32_t bound = WorkingBoundMs(step.Text);
        const ReplyCode code = AwaitReply(step.Text, step.Expected, step.Alternative,
                                          static_cast<uint32_t>(step.TimeoutMs), reply, bound);
        const std::string answer = Shown(reply, strnlen(reply, ReplyBufferSize));
        switch (code) {
        case Ok:
            outcome = 1;
            ReportProgress(gFormat(Msg::Received, answer.c_str()));
            if (const uint32_t settle = SettleMs(step.Text, FoundSpeed)) Port.Pause(settle);
            return true;
        case Failed:
            ReportFailureUnlessStopped(Msg::OperationError);
            return false;
        case TimedOut:
            // Sent again, a command the modem was still working on would start over.
            if (attempt + 1 < step.Attempts && !(bound && Port.LastHeard.Echoed)) continue;
            ReportFailureUnlessStopped(gFormat(Msg::NoReply, command.c_str()));
            return false;
        case ModemError: {
            const bool simCard = command.find("ATS0=") != std::string::npos && SimHint == 1;
            ReportFailureUnlessStopped(
                gFormat(simCard ? Msg::SimCardError : Msg::ModemErrorReply, command.c_str(), answer.c_str()));
            ReportS0AfterError(step.Text);
            return false;
        }
        default:
            return false;
        }
    }
    return true;
}

bool JobRun::RunStep(const ConfigStep& step, int32_t& outcome) {
    switch (step.Kind) {
    case SearchModem:
        outcome = FindModem();
        if (!outcome) {
            ReportFailureUnlessStopped(Msg::NoModem);
            HintStillStarting();
        }
        return outcome != 0;
    case SetPortSpeed: {
        int32_t speed = 0;
        std::memcpy(&speed, step.Text, sizeof speed);
        ReportProgress(gFormat(Msg::SettingSpeed, speed));
        outcome = SetSpeed(speed);
        return outcome != 0;
    }
    case SendCommand:
        return RunCommand(step, outcome);
    default:
        return false;
    }
}

int32_t JobRun::RunSteps() {
    int32_t outcome = 0;
    bool done = !Steps.empty();
    for (size_t i = 0; done && i < Steps.size(); ++i) {
        const ConfigStep step = Steps[i];
        done = RunStep(step, outcome);
    }
    Finish(EndOf(done && outcome));
    return 1;
}
