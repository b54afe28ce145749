// The signal job: the check's search, then AT+CSQ and AT+CREG? once an interval until
// the operator stops it. It changes nothing in the modem. Each reading goes to the window
// as a value; the log gets only the start, each change of registration and the summary.

#include <vector>

#include "engine/CheckRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/SignalJob.h"
#include "engine/SignalValue.h"
#include "os/Tick.h"
#include "serial/ReplyParser.h"
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
    SignalRun signal(Context, Port, SignalIntervalMs);
    RunInFrame(signal, {{&Port, CommIndex + 1}});
    signal.TellEnd();
}

// The meter learns the end, with the summary when there was a measurement.
void SignalRun::TellEnd() {
    Last.Ended = true;
    Last.Summary = Summary;
    Context.ShowSignal(Last);
}

void SignalRun::Work() {
    if (!FindModem()) {
        HintStillStarting();
        Finish(EndOf(false, SearchPortFailed));
        return;
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
    while (!StopRequested && !Context.Ending()) {
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
        Last = *reading;
        Context.ShowSignal(Last);
        Port.Pause(IntervalMs);
    }
    // Readings are the measurement; a stop is how it normally ends.
    Context.Outcome().Result = EndOf(readings > 0);
    Summary = gSignalSummary(readings, dbms);
    ReportProgress(Summary);
}
