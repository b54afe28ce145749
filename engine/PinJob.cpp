// The PIN job: the check's modem search, then the SIM card's state, and only when the
// card asks for its PIN and has more than one try left (or the operator agrees to spend
// the last), the PIN once, the request turned off with it, and a look that it is off.
// The PIN is sent at most once a press and never shown: its rows read "****".

#include <algorithm>

#include "engine/ConfigEngine.h"
#include "engine/Cp1251.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "serial/ReplyParser.h"
#include "engine/PinJob.h"
#include "engine/PinRows.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

// The card may take a while to check a PIN; the answer is waited for, never asked again.
constexpr uint32_t SecretTimeoutMs = 5000;
constexpr int NoSimError = 10;
constexpr int PinError = 11;
constexpr int PukError = 12;
constexpr int WrongPinError = 16;

constexpr const char* StateQuery = "AT+CPIN?\r";
constexpr const char* LockQuery = "AT+CLCK=\"SC\",2\r";
constexpr const char* TriesQuery = "AT+CPINR=\"SIM PIN\"\r";

// An answer in one line, as the log shows it, with any quoted PIN masked.
std::string AnswerText(const InfoReply& answer, const std::string& pin) {
    std::string text;
    for (const std::string& line : answer.Lines) text += line + " ";
    // A refusal in the modem's own words: +CME ERROR: 16, NO CARRIER, ...
    if (answer.Code == Ok) text += "OK";
    else text += answer.Final.empty() ? "ERROR" : answer.Final;
    const std::string quoted = "\"" + pin + "\"";
    for (size_t at = text.find(quoted); !pin.empty() && at != std::string::npos; at = text.find(quoted, at))
        text.replace(at, quoted.size(), "\"****\"");
    return gCp1251ToUtf8(text);
}

bool LockIs(const InfoReply& answer, const char* value) {
    return answer.Code == Ok && !answer.Lines.empty() && answer.Lines.front() == std::string("+CLCK: ") + value;
}

void Wipe(std::string& secret) {
    std::fill(secret.begin(), secret.end(), '\0');
    secret.clear();
}

}  // namespace

bool ConfigEngine::OnSimPin(const std::string& pin) {
    if (Busy == 1 || !gIsPinCode(pin)) return false;
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    Pin = pin;
    Launch(RunKind::Pin);
    return true;
}

void ConfigEngine::RunPinJob() {
    PinRun pin(Context, Port, Pin);
    RunInFrame(pin, {{&Port, CommIndex + 1}});
    Wipe(Pin);
}

// A question of the job: false, after the row that says why, unless the modem answered.
bool PinRun::AskShown(const char* command, InfoReply& answer) {
    const std::string shown = ConfigEngine::StripLineEnds(command);
    ReportProgress(gFormat(Msg::Executing, shown.c_str()));
    const AskOutcome outcome = Ask(command, answer);
    if (outcome == AskOutcome::Stop) return false;
    // The port has shown its own message; the log still says where the job ended.
    if (outcome == AskOutcome::PortFailure) {
        ReportProgress(PinMsg::PortFailed);
        return false;
    }
    if (answer.Code == TimedOut) {
        ReportFailureUnlessStopped(gFormat(Msg::NoReply, shown.c_str()));
        return false;
    }
    ReportProgress(gFormat(Msg::Received, AnswerText(answer, Pin).c_str()));
    return true;
}

// Once the PIN is on its way, its answer is awaited whatever the operator does: a stop
// then would leave unknown whether the card counted a try. A stop before it sends nothing.
bool PinRun::SendSecret(const std::string& command, const std::string& shown, InfoReply& answer) {
    if (StopRequested) return false;
    ReportProgress(gFormat(Msg::Executing, shown.c_str()));
    ReplyCode code = Failed;
    {
        UnstoppableReads secret(Port);
        if (SendText(command.c_str())) code = Port.ReadInfoReply(command.c_str(), SecretTimeoutMs, answer);
    }
    ReportUnasked();
    if (code == Stopped) return false;  // only the engine's ending gets here
    if (code == Failed) {
        ReportProgress(PinMsg::PortFailed);
        return false;
    }
    if (code == TimedOut) {
        ReportFailureUnlessStopped(gFormat(Msg::NoReply, shown.c_str()));
        return false;
    }
    ReportProgress(gFormat(Msg::Received, AnswerText(answer, Pin).c_str()));
    return true;
}

bool PinRun::ConfirmLastTry() {
    InfoReply tries;
    if (!AskShown(TriesQuery, tries)) return false;
    if (gPinTriesLeft(tries) != 1) return true;
    if (Context.AskYesNo(PinMsg::LastTry, PinMsg::LastTryCaption)) return true;
    ReportProgress(PinMsg::Declined);
    return false;
}

void PinRun::ReportWrongPin(const InfoReply& answer, const std::string& shown) {
    if (answer.CmeError == PukError) return ReportFailureUnlessStopped(PinMsg::PukNeeded);
    if (answer.CmeError != WrongPinError) {
        return ReportFailureUnlessStopped(
            gFormat(Msg::ModemErrorReply, shown.c_str(), AnswerText(answer, Pin).c_str()));
    }
    InfoReply tries;
    const int left = AskShown(TriesQuery, tries) ? gPinTriesLeft(tries) : -1;
    ReportFailureUnlessStopped(left >= 0 ? gFormat(PinMsg::WrongPin, left) : std::string(PinMsg::WrongPinNoCount));
}

void PinRun::FinishPin(bool turnedOff) { Finish(EndOf(turnedOff)); }

void PinRun::Work() {
    if (!FindModem()) {
        if (SearchPortFailed) {
            ReportProgress(PinMsg::PortFailed);
        } else {
            ReportFailureUnlessStopped(Msg::NoModem);
            HintStillStarting();
        }
        return FinishPin(false);
    }
    const CardNeeds needs = AskCard();
    if (needs == CardNeeds::NothingMore) return FinishPin(false);
    if (needs == CardNeeds::NothingAlreadyOff) {
        ReportProgress(PinMsg::AlreadyOff);
        return FinishPin(true);
    }
    FinishPin(ConfirmLastTry() && TurnOff(needs == CardNeeds::PinThenTurnOff));
}

// The card's state, and for a ready card its lock; a card the job cannot help ends it
// with the row that says why.
PinRun::CardNeeds PinRun::AskCard() {
    InfoReply state;
    if (!AskShown(StateQuery, state)) return CardNeeds::NothingMore;
    const std::string word = gPinState(state);
    if (state.CmeError == NoSimError) {
        ReportFailureUnlessStopped(PinMsg::NoSim);
        return CardNeeds::NothingMore;
    }
    if (state.CmeError == PukError || word == "SIM PUK") {
        ReportFailureUnlessStopped(PinMsg::PukNeeded);
        return CardNeeds::NothingMore;
    }
    const bool pinWanted = word == "SIM PIN" || state.CmeError == PinError;
    if (pinWanted) return CardNeeds::PinThenTurnOff;
    if (word != "READY") {
        ReportFailureUnlessStopped(PinMsg::UnknownState);
        return CardNeeds::NothingMore;
    }
    // A ready card may still ask at the next power-on; only its lock tells.
    InfoReply lock;
    if (!AskShown(LockQuery, lock)) return CardNeeds::NothingMore;
    if (LockIs(lock, "0")) return CardNeeds::NothingAlreadyOff;
    if (!LockIs(lock, "1")) {
        ReportFailureUnlessStopped(PinMsg::NotConfirmed);
        return CardNeeds::NothingMore;
    }
    return CardNeeds::TurnOff;
}

// The PIN when the card asks for it, the request turned off with it and a look that it is.
bool PinRun::TurnOff(bool pinWanted) {
    if (pinWanted) {
        InfoReply entered;
        const std::string shown = "AT+CPIN=\"****\"";
        if (!SendSecret("AT+CPIN=\"" + Pin + "\"\r", shown, entered)) return false;
        if (entered.Code != Ok) {
            ReportWrongPin(entered, shown);
            return false;
        }
    }
    InfoReply off;
    const std::string shown = "AT+CLCK=\"SC\",0,\"****\"";
    if (!SendSecret("AT+CLCK=\"SC\",0,\"" + Pin + "\"\r", shown, off)) return false;
    if (off.Code != Ok) {
        // After a right PIN an ERROR here leaves the card unlocked, only still asking.
        if (off.CmeError == WrongPinError || off.CmeError == PukError) ReportWrongPin(off, shown);
        else ReportFailureUnlessStopped(PinMsg::NotTurnedOff);
        return false;
    }
    InfoReply lock;
    InfoReply ready;
    if (!AskShown(LockQuery, lock) || !AskShown(StateQuery, ready)) return false;
    if (!LockIs(lock, "0") || gPinState(ready) != "READY") {
        ReportFailureUnlessStopped(PinMsg::NotConfirmed);
        return false;
    }
    ReportProgress(PinMsg::TurnedOff);
    return true;
}
