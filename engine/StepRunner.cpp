// Carries out the step list on the open port: the modem search, the speed change and the
// commands, each reported as it happens. The first failure ends the run; every run ends
// with exactly one final line.

#include <cstring>

#include "engine/ConfigEngine.h"
#include "engine/Cp1251.h"
#include "engine/Format.h"
#include "engine/Messages.h"

namespace {

constexpr uint32_t ProbeTimeoutMs = 1000;
// A modem that has echoed the probe is at this speed: its result is waited for this long
// rather than taken, late, for the next probe's at another speed.
constexpr uint32_t HeardProbeTimeoutMs = 5000;
constexpr int ProbeAttempts = 2;
constexpr const char* Probe = "AT\r";

// A command or a reply as the operator sees it: one line, decoded from the modem's code page.
std::string Shown(const char* bytes, size_t length) {
    return gCp1251ToUtf8(ConfigEngine::StripLineEnds(std::string(bytes, length)));
}

std::string Shown(const char* text) { return Shown(text, std::strlen(text)); }

}  // namespace

int32_t ConfigEngine::SetSpeed(int32_t speed) {
    return Port.Configure(static_cast<uint32_t>(speed), 8, OneStopBit, NoParity) == 0 ? 1 : 0;
}

int32_t ConfigEngine::SendText(const char* text) {
    if (Port.Purge(PurgeTxClear | PurgeRxClear) != 0) return 0;
    return Port.Write(text, static_cast<uint32_t>(std::strlen(text))) == 0 ? 1 : 0;
}

ReplyCode ConfigEngine::AwaitReply(const char* command, const char* expected, const char* alternative,
                                   uint32_t timeoutMs, char* reply, uint32_t heardTimeoutMs) {
    return Port.ReadReply(command, expected, alternative, timeoutMs, reply, heardTimeoutMs);
}

int32_t ConfigEngine::FindModem() {
    SearchPortFailed = false;
    auto portFailed = [this] {
        SearchPortFailed = !StopRequested;
        return 0;
    };
    for (int32_t speed : ProbeSpeeds) {
        ReportProgress(gFormat(Msg::Searching, speed));
        if (!SetSpeed(speed)) return portFailed();
        for (int attempt = 0; attempt < ProbeAttempts; ++attempt) {
            if (!SendText(Probe)) return portFailed();
            const ReplyCode code = AwaitReply(Probe, VerboseOk, NumericOk, ProbeTimeoutMs, nullptr, HeardProbeTimeoutMs);
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

void ConfigEngine::ReportFailureUnlessStopped(const std::string& text) {
    if (!StopRequested) ReportFailure(text);
}

void ConfigEngine::SetResult(bool succeeded) {
    Outcome.Result = succeeded ? RunResult::Succeeded : StopRequested ? RunResult::Stopped : RunResult::Failed;
}

int32_t ConfigEngine::RunSteps() {
    int32_t outcome = 0;
    // One byte beyond the reader's 1024 keeps a full reply zero-terminated.
    char reply[ReplyBufferSize + 1];

    auto runCommand = [&](const ConfigStep& step) {
        const std::string command = Shown(step.Text);
        for (int32_t attempt = 0; attempt < step.Attempts; ++attempt) {
            ReportProgress(gFormat(Msg::Executing, command.c_str()));
            std::memset(reply, 0, sizeof reply);
            if (!SendText(step.Text)) return false;
            const ReplyCode code = AwaitReply(step.Text, step.Expected, step.Alternative,
                                              static_cast<uint32_t>(step.TimeoutMs), reply);
            const std::string answer = Shown(reply, strnlen(reply, ReplyBufferSize));
            switch (code) {
            case Ok:
                outcome = 1;
                ReportProgress(gFormat(Msg::Received, answer.c_str()));
                return true;
            case Failed:
                ReportFailureUnlessStopped(Msg::OperationError);
                return false;
            case TimedOut:
                if (attempt + 1 < step.Attempts) continue;
                ReportFailureUnlessStopped(gFormat(Msg::NoReply, command.c_str()));
                return false;
            case ModemError: {
                const bool simCard = command.find("ATS0=") != std::string::npos && SimHint == 1;
                ReportFailureUnlessStopped(
                    gFormat(simCard ? Msg::SimCardError : Msg::ModemErrorReply, command.c_str(), answer.c_str()));
                return false;
            }
            default:
                return false;
            }
        }
        return true;
    };

    auto runStep = [&](const ConfigStep& step) {
        switch (step.Kind) {
        case SearchModem:
            outcome = FindModem();
            if (!outcome) ReportFailureUnlessStopped(Msg::NoModem);
            return outcome != 0;
        case SetPortSpeed: {
            int32_t speed = 0;
            std::memcpy(&speed, step.Text, sizeof speed);
            ReportProgress(gFormat(Msg::SettingSpeed, speed));
            outcome = SetSpeed(speed);
            return outcome != 0;
        }
        case SendCommand:
            return runCommand(step);
        default:
            return false;
        }
    };

    bool done = !Steps.empty();
    for (size_t i = 0; done && i < Steps.size(); ++i) {
        const ConfigStep step = Steps[i];
        done = runStep(step);
    }
    SetResult(done && outcome);
    ReportProgress(done && outcome ? Msg::Succeeded : Msg::NotSucceeded);
    return 1;
}
