// The signal job: the check's search, then AT+CSQ and AT+CREG? once an interval until
// the operator stops it. It changes nothing in the modem. Each reading goes to the window
// as a value; the log gets only the start, each change of registration and the summary.

#include <vector>

#include "engine/CheckRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/SignalValue.h"
#include "os/Tick.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

constexpr const char* SignalQuery = "AT+CSQ\r";
constexpr const char* RegistrationQuery = "AT+CREG?\r";

}  // namespace

void ConfigEngine::OnMeasureSignal() {
    if (Busy == 1) return;
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    Launch(RunKind::Signal);
}

void ConfigEngine::RunSignalJob() {
    SignalReading last;
    auto tellEnd = [&](const std::string& summary) {
        last.Ended = true;
        last.Summary = summary;
        if (Toolkit* w = Window()) w->ShowSignal(last);
    };

    if (!OpenPorts({{&Port, CommIndex + 1}})) return tellEnd({});
    if (!FindModem()) {
        HintStillStarting();
        Finish(EndOf(false, SearchPortFailed));
        ClosePorts();
        return tellEnd({});
    }
    ReportProgress(SignalMsg::Started);

    int readings = 0;
    std::vector<int> dbms;
    std::string registration;
    uint32_t firstTick = 0;
    // An answer that never completed is a modem gone (or a port failed); a complete one
    // without a level is a modem that does not report it.
    auto ask = [&](const char* command, InfoReply& answer) {
        if (Ask(command, answer) == AskOutcome::Answer && answer.Complete) return true;
        if (!StopRequested) ReportProgress(SignalMsg::Lost);
        return false;
    };
    while (!StopRequested && !IsEnding()) {
        InfoReply csq, creg;
        if (!ask(SignalQuery, csq) || !ask(RegistrationQuery, creg)) break;
        std::optional<SignalReading> reading = gSignalReading(csq, creg);
        if (!reading) {
            ReportProgress(SignalMsg::NotReported);
            break;
        }
        if (readings++ == 0) firstTick = gTickCount();
        reading->Millis = gTickCount() - firstTick;
        if (reading->Dbm) dbms.push_back(*reading->Dbm);
        if (reading->Registration != registration) {
            registration = reading->Registration;
            ReportProgress(gRegistrationRow(creg));
        }
        last = *reading;
        if (Toolkit* w = Window()) w->ShowSignal(last);
        Port.Pause(SignalIntervalMs);
    }
    // Readings are the measurement; a stop is how it normally ends.
    Outcome.Result = EndOf(readings > 0);
    const std::string summary = gSignalSummary(readings, dbms);
    ReportProgress(summary);
    ClosePorts();
    tellEnd(summary);
}
