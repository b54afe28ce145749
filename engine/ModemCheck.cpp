// The modem check: the job's own search, then questions that change nothing in the
// modem, each item reported as one row. It runs on the worker like a job, so the
// window's Stop ends it the same way; the modem stays at the speed it was found at.

#include "engine/BusyRetry.h"
#include "engine/CheckRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

constexpr uint32_t QueryTimeoutMs = 1500;
constexpr int QueryAttempts = 2;

enum Query { Maker, Model, Revision, Imei, Sim, Signal, Registration, QueryCount };
constexpr const char* Commands[QueryCount] = {
    "AT+CGMI\r", "AT+CGMM\r", "AT+CGMR\r", "AT+CGSN\r", "AT+CPIN?\r", "AT+CSQ\r", "AT+CREG?\r",
};

}  // namespace

void ConfigEngine::OnCheckModem() {
    if (Busy == 1) return;
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    Launch(RunKind::Check);
}

void ConfigEngine::RunCheckJob() {
    if (CommIndex < 0) return ReportProgress(Msg::ChooseCom);
    if (!OpenPorts({{&Port, CommIndex + 1}})) return;
    RunCheck();
    ClosePorts();
}

// A question that times out is asked once more, one that the modem is too busy to answer
// a few times (engine/BusyRetry.h); a stop, or a port that fails to write
// or read, ends the check; anything else the modem sends is its answer.
ConfigEngine::AskOutcome ConfigEngine::Ask(const char* command, InfoReply& answer) {
    auto failed = [this] { return StopRequested ? AskOutcome::Stop : AskOutcome::PortFailure; };
    for (int attempt = 0; attempt < QueryAttempts; ++attempt) {
        const ReplyCode code = gAskWhileBusy(
            [&](InfoReply& reply) {
                if (!SendText(command)) return Failed;
                const ReplyCode read = Port.ReadInfoReply(command, QueryTimeoutMs, reply);
                ReportUnasked();
                return read;
            },
            [&](uint32_t ms) { Port.Pause(ms); }, answer);
        if (code == Stopped) return AskOutcome::Stop;
        if (code == Failed) return failed();
        if (code != TimedOut) return AskOutcome::Answer;
    }
    return AskOutcome::Answer;
}

int32_t ConfigEngine::RunCheck() {
    auto finish = [this](RunResult result) {
        Finish(result);
        return 1;
    };
    if (!FindModem()) {
        HintStillStarting();
        return finish(EndOf(false, SearchPortFailed));
    }
    ModemFindings& findings = Outcome.Findings;
    findings.Answered = true;
    findings.Speed = FoundSpeed;

    InfoReply answers[QueryCount];
    for (int q = 0; q < QueryCount; ++q) {
        const AskOutcome outcome = Ask(Commands[q], answers[q]);
        if (outcome != AskOutcome::Answer) return finish(EndOf(false, outcome == AskOutcome::PortFailure));
        switch (q) {
        case Revision:
            ReportProgress(gIdentityRow(answers[Maker], answers[Model], answers[Revision]));
            findings.Maker = gInfoText(answers[Maker]);
            findings.Model = gInfoText(answers[Model]);
            break;
        case Imei:
            ReportProgress(gImeiRow(answers[Imei]));
            findings.Imei = gImeiOf(answers[Imei]).value_or(gInfoText(answers[Imei]));
            break;
        case Sim: ReportProgress(gSimRow(answers[Sim])); break;
        case Signal: ReportProgress(gSignalRow(answers[Signal])); break;
        case Registration: ReportProgress(gRegistrationRow(answers[Registration])); break;
        default: break;
        }
    }
    return finish(RunResult::Succeeded);
}
