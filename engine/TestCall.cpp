#include "engine/TestCall.h"

#include <cstdlib>

#include "engine/CallNumber.h"
#include "engine/CallRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "serial/LineSplitter.h"
#include "serial/ReplyParser.h"
#include "os/Tick.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

constexpr uint32_t QuestionTimeoutMs = 1500;
// AT+CFUN=1,1 is answered before the modem goes down.
constexpr uint32_t RestartReplyMs = 5000;
// From the restart's OK to ^SYSSTART; a modem at autobaud says nothing and is searched after it.
constexpr uint32_t SysStartWaitMs = 15000;
// The calling modem gives up after S7 seconds; this much later the job gives up on it.
constexpr uint32_t DialMarginMs = 10000;
// Both modems say CONNECT at nearly the same moment; the second is waited for this long.
constexpr uint32_t PairConnectMs = 5000;
constexpr const char* RestartCommand = "AT+CFUN=1,1\r";

bool Elapsed(uint32_t deadline) { return static_cast<int32_t>(gTickCount() - deadline) >= 0; }

}  // namespace

bool ConfigEngine::OnTestCall(const CallRequest& request) {
    if (Busy == 1 || !gIsCallNumber(request.Number)) return false;
    CommIndex = Owner->ComboSelected(ControlId::ComSelector);
    if (request.AnswerCom == CommIndex + 1) return false;
    Call = request;
    Launch(RunKind::Call);
    return true;
}

void ConfigEngine::RunCallJob() {
    if (Toolkit* w = Window()) w->LogDeleteAll(ControlId::LogView);
    Outcome.Call.End = CallResult::PortNotOpened;
    const int32_t com = CommIndex + 1;
    ReportProgress(gFormat(Msg::Opening, com));
    if (Port.Open(com) == 0) {
        if (Call.AnswerCom > 0) ReportProgress(gFormat(Msg::Opening, Call.AnswerCom));
        if (Call.AnswerCom == 0 || AnswerPort.Open(Call.AnswerCom) == 0) TestCall(*this, Call).Run();
        AnswerPort.Close();
        Port.Close();
    }
}

TestCall::TestCall(ConfigEngine& engine, const CallRequest& request)
    : Engine(engine), Request(request), Caller(engine.Port), Device(engine.AnswerPort),
      TwoPorts(request.AnswerCom > 0) {}

void TestCall::Run() {
    CallFindings& found = Engine.Outcome.Call;
    CallResult end = FindModems();
    if (end == CallResult::NotRun) end = Dial();
    if (end == CallResult::NotRun) end = TwoPorts ? CheckData() : CallResult::Passed;
    Deafen();
    if (Caller.OffHook || Device.OffHook) EndCall();
    // The hang-up may have been stopped or failed on its own; the call's end stands.
    found.End = end;
    Engine.Outcome.Result = end == CallResult::Passed        ? RunResult::Succeeded
                            : end == CallResult::Stopped     ? RunResult::Stopped
                            : end == CallResult::PortFailed  ? RunResult::PortFailed
                                                             : RunResult::Failed;
    if (end == CallResult::Stopped) Engine.ReportProgress(CallMsg::Stopped);
    else if (end == CallResult::PortFailed) Engine.ReportProgress(CallMsg::PortFailed);
    else Engine.ReportProgress(end == CallResult::Passed ? CallMsg::Passed : CallMsg::Failed);
}

CallResult TestCall::Failure(CallResult end, const std::string& row) {
    if (!Engine.StopRequested) Engine.ReportFailure(row);
    return Interrupted() == CallResult::NotRun ? end : Interrupted();
}

// NotRun while neither a stop nor a broken port has ended the call.
CallResult TestCall::Interrupted() {
    if (PortBroken && !Engine.StopRequested) return CallResult::PortFailed;
    if (Engine.StopRequested || PortBroken) return CallResult::Stopped;
    return CallResult::NotRun;
}

CallResult TestCall::FindModems() {
    auto searchFailed = [this](const char* row, CallResult end) {
        if (Engine.StopRequested) return CallResult::Stopped;
        if (Engine.SearchPortFailed) return CallResult::PortFailed;
        return Failure(end, row);
    };
    Engine.ReportProgress(gFormat(CallMsg::CallerPort, Engine.CommIndex + 1));
    if (!Engine.FindModem(Caller.Port)) return searchFailed(Msg::NoModem, CallResult::NoModem);
    if (!TwoPorts) return CallResult::NotRun;
    Engine.ReportProgress(gFormat(CallMsg::AnswerPort, Request.AnswerCom));
    if (!Engine.FindModem(Device.Port)) return searchFailed(CallMsg::NoAnswerModem, CallResult::NoAnswerModem);
    if (!Request.Restart) {
        Engine.ReportProgress(CallMsg::ProfileNotProven);
        return CallResult::NotRun;
    }
    return RestartDevice();
}

CallResult TestCall::RestartDevice() {
    Engine.ReportProgress(gFormat(Msg::Executing, "AT+CFUN=1,1"));
    InfoReply reply;
    if (!Engine.SendText(Device.Port, RestartCommand)) return CallResult::PortFailed;
    const ReplyCode code = Device.Port.ReadInfoReply(RestartCommand, RestartReplyMs, reply);
    if (code == Stopped) return CallResult::Stopped;
    if (code == Failed && !reply.Complete) return Engine.StopRequested ? CallResult::Stopped : CallResult::PortFailed;
    if (code == ModemError) {
        Engine.ReportProgress(gFormat(Msg::Received, reply.CmeError >= 0
                                                         ? ("+CME ERROR: " + std::to_string(reply.CmeError)).c_str()
                                                         : "ERROR"));
        Engine.ReportProgress(CallMsg::RestartRefused);
        return CallResult::NotRun;
    }
    // A modem that went down without its OK is waited for all the same.
    if (code == Ok) Engine.ReportProgress(gFormat(Msg::Received, "OK"));
    Engine.ReportProgress(CallMsg::WaitingRestart);
    const uint32_t deadline = gTickCount() + SysStartWaitMs;
    Device.Pending.clear();
    Listen();
    while (const std::optional<Said> said = NextLine(deadline)) {
        if (said->From == &Device && gCallLine(said->Line) == CallLine::SysStart) {
            Engine.ReportProgress(gFormat(Msg::Received, "^SYSSTART"));
            break;
        }
    }
    Deafen();
    if (Interrupted() != CallResult::NotRun) return Interrupted();
    if (!Engine.FindModem(Device.Port)) {
        if (Engine.StopRequested) return CallResult::Stopped;
        if (Engine.SearchPortFailed) return CallResult::PortFailed;
        return Failure(CallResult::NotBack, CallMsg::NotBack);
    }
    Engine.Outcome.Call.ProfileProven = true;
    return CallResult::NotRun;
}

int TestCall::Register(const char* query, int fallback) {
    InfoReply reply;
    if (!Engine.SendText(Caller.Port, query)) return fallback;
    if (Caller.Port.ReadInfoReply(query, QuestionTimeoutMs, reply) != Ok || reply.Lines.empty()) return fallback;
    char* end = nullptr;
    const long value = std::strtol(reply.Lines.front().c_str(), &end, 10);
    return end != reply.Lines.front().c_str() && *end == '\0' && value > 0 && value < 256 ? static_cast<int>(value)
                                                                                          : fallback;
}

CallResult TestCall::Dial() {
    const int carrierWait = Register("ATS7?\r", 60);
    GuardMs = static_cast<uint32_t>(Register("ATS12?\r", 50)) * 20;
    if (Interrupted() != CallResult::NotRun) return Interrupted();

    CallFindings& found = Engine.Outcome.Call;
    const std::string dial = "ATD" + Request.Number + "\r";
    Engine.ReportProgress(gFormat(CallMsg::Dialing, Request.Number.c_str()));
    Caller.Pending.clear();
    Device.Pending.clear();
    if (!Engine.SendText(Caller.Port, dial.c_str())) return Engine.StopRequested ? CallResult::Stopped : CallResult::PortFailed;
    Caller.OffHook = true;
    const uint32_t dialled = gTickCount();
    Listen();
    uint32_t deadline = dialled + static_cast<uint32_t>(carrierWait) * 1000 + DialMarginMs;
    int shownSeconds = -1;
    // In the workshop the device's ring and answer, read on its own port a moment later,
    // come before the caller's CONNECT in the log, as they came in the call.
    const auto connected = [&] {
        Engine.ReportProgress(
            gFormat(CallMsg::Connected, found.ConnectText.c_str(), gOneDecimal(found.ConnectSeconds, ',').c_str()));
        return CallResult::NotRun;
    };
    for (;;) {
        const int seconds = static_cast<int>((gTickCount() - dialled) / 1000);
        if (seconds != shownSeconds && !Caller.Online) {
            shownSeconds = seconds;
            Engine.ShowStatus(gFormat(CallMsg::Waiting, seconds));
        }
        const uint32_t tick = gTickCount() + 1000 - (gTickCount() - dialled) % 1000;
        const bool soon = static_cast<int32_t>(tick - deadline) < 0;
        const std::optional<Said> said = NextLine(soon ? tick : deadline);
        if (Interrupted() != CallResult::NotRun) return Interrupted();
        if (!said) {
            if (!Elapsed(deadline)) continue;
            // Both connected but for the device's word, which the data check will judge.
            if (Caller.Online) return connected();
            return Failure(CallResult::NoReply, gFormat(Msg::NoReply, ConfigEngine::StripLineEnds(dial).c_str()));
        }
        const CallLine line = gCallLine(said->Line);
        if (said->From == &Device) {
            if (line == CallLine::Ring && !Device.Online) {
                Engine.ReportProgress(gFormat(CallMsg::Ring, ++found.Rings));
            } else if (line == CallLine::Connect && !Device.Online) {
                Device.OffHook = Device.Online = true;
                Engine.ReportProgress(gFormat(CallMsg::AnsweredByItself, said->Line.c_str()));
                if (Caller.Online) return connected();
            } else if (line == CallLine::NoCarrier && Device.Online) {
                Device.OffHook = Device.Online = false;
                return Failure(CallResult::Dropped, CallMsg::Dropped);
            }
            continue;
        }
        switch (line) {
        case CallLine::Connect: {
            Caller.Online = true;
            found.ConnectText = said->Line;
            found.ConnectSeconds = static_cast<double>(gTickCount() - dialled) / 1000.0;
            if (!TwoPorts || Device.Online) return connected();
            deadline = gTickCount() + PairConnectMs;
            break;
        }
        case CallLine::Busy:
            Caller.OffHook = false;
            return Failure(CallResult::Busy, CallMsg::Busy);
        case CallLine::NoCarrier:
        case CallLine::NoAnswer:
            Caller.OffHook = Caller.Online = false;
            if (found.Rings > 0) return Failure(CallResult::NotAnswered, gFormat(CallMsg::RangUnanswered, found.Rings));
            if (TwoPorts) return Failure(CallResult::NotReached, CallMsg::NotReached);
            return Failure(CallResult::NotAnswered, CallMsg::NotAnswered);
        case CallLine::NoDialtone:
        case CallLine::Error:
            Caller.OffHook = false;
            return Failure(CallResult::NoNetwork, CallMsg::NoNetwork);
        default:
            break;
        }
    }
}

void TestCall::Listen() {
    for (Side* side : {&Caller, &Device})
        if (side == &Caller || TwoPorts) side->Ear = std::make_unique<PortListener>(side->Port, Lock, Arrived);
}

void TestCall::Deafen() {
    for (Side* side : {&Caller, &Device}) {
        if (!side->Ear) continue;
        side->Pending += side->Ear->Finish();
        side->Ear.reset();
    }
}

void TestCall::WaitForArrival(uint32_t deadline, bool watchStop) {
    std::unique_lock lock(Lock);
    const auto arrived = [&] {
        for (Side* side : {&Caller, &Device})
            if (side->Ear && (!side->Ear->Bytes.empty() || side->Ear->Failed)) return true;
        return watchStop && Engine.StopRequested;
    };
    const auto left = static_cast<int32_t>(deadline - gTickCount());
    Arrived.wait_for(lock, std::chrono::milliseconds(left > 0 ? left : 0), arrived);
    for (Side* side : {&Caller, &Device}) {
        if (!side->Ear) continue;
        side->Pending += side->Ear->Bytes;
        side->Ear->Bytes.clear();
        if (side->Ear->Failed) PortBroken = true;
    }
}

std::optional<TestCall::Said> TestCall::NextLine(uint32_t deadline, bool watchStop) {
    for (;;) {
        for (Side* side : {&Caller, &Device}) {
            while (std::optional<std::string> line = gTakeLine(side->Pending)) {
                // A warning sent unasked during the call is the operator's, not the call's.
                const std::optional<Unasked> kind = gUnaskedKind(*line);
                if (!kind || *kind == Unasked::Quiet) return Said{side, *line};
                Engine.ReportUnasked({*kind, *line});
            }
        }
        if ((watchStop && Engine.StopRequested) || PortBroken || Elapsed(deadline)) return std::nullopt;
        WaitForArrival(deadline, watchStop);
    }
}
