#include "engine/TestCall.h"

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/LineMeaning.h"
#include "engine/PortCommands.h"
#include "engine/RunOutcome.h"
#include "serial/ReplyParser.h"
#include "serial/SerialPort.h"

namespace {

constexpr uint32_t QuestionTimeoutMs = 1500;
// AT+CFUN=1,1 is answered before the modem goes down.
constexpr uint32_t RestartReplyMs = 5000;
// From the restart's OK to ^SYSSTART; a modem at autobaud says nothing and is searched after it.
constexpr uint32_t SysStartWaitMs = 15000;
constexpr const char* RestartCommand = "AT+CFUN=1,1\r";

// An S-register of a modem in whole units from 1 to 255, or fallback when it does not tell.
int Register(SerialPort& port, const char* query, int fallback) {
    const std::optional<long> value = gReadSRegister(port, query, QuestionTimeoutMs);
    return value && *value > 0 && *value < 256 ? static_cast<int>(*value) : fallback;
}

}  // namespace

TestCall::TestCall(RunContext& context, int32_t callerCom, SerialPort& caller, SerialPort& device,
                   const CallRequest& request)
    : Context(context), CallerCom(callerCom), Request(request), TwoPorts(request.AnswerCom > 0), Link(context, caller, device, TwoPorts),
      Found(context.Outcome().Call) {}

// Each stage goes on to the next or ends the call; whatever ended it, the modems go
// back on-hook before the ports close.
CallResult TestCall::Run() {
    using Stage = StageEnd (TestCall::*)();
    constexpr Stage Stages[] = {&TestCall::FindModems, &TestCall::RestartDevice, &TestCall::ReadGuardTimes,
                                &TestCall::PrepareDial, &TestCall::Dial, &TestCall::CheckData};
    StageEnd end = GoOn;
    for (const Stage stage : Stages) {
        end = (this->*stage)();
        if (end) break;
    }
    Link.StopListening();
    const bool hungUp = !(Link.Caller.OffHook() || Link.Device.OffHook()) || HangUpBoth();
    if (BearerChanged) RestoreBearer();
    // A modem that may still be in the call is no success, whatever the call proved.
    if (!hungUp && (!end || *end == CallResult::Passed)) return CallResult::NotHungUp;
    if (!end && BearerRetryDue) Context.Progress(gFormat(CallMsg::BearerPassed, gBearerText(Found.Bearer).c_str()));
    return end.value_or(CallResult::Passed);
}

TestCall::StageEnd TestCall::Failure(CallResult end, const std::string& row) {
    if (!Context.StopAsked()) Context.Failure(row);
    const StageEnd interrupted = Interrupted();
    return interrupted ? interrupted : StageEnd(end);
}

TestCall::StageEnd TestCall::Interrupted() const {
    if (Link.PortBroken && !Context.StopAsked()) return CallResult::PortFailed;
    if (Context.StopAsked() || Link.PortBroken) return CallResult::Stopped;
    return GoOn;
}

TestCall::StageEnd TestCall::SearchFailed(SearchEnd search, CallResult end, const char* row) {
    if (search == SearchEnd::Stopped) return CallResult::Stopped;
    if (search == SearchEnd::PortFailed) return CallResult::PortFailed;
    return Failure(end, row);
}

TestCall::StageEnd TestCall::FindModems() {
    Context.Progress(gFormat(CallMsg::CallerPort, CallerCom));
    const SearchEnd caller = Context.FindModem(Link.Caller.Port);
    if (caller != SearchEnd::Found) return SearchFailed(caller, CallResult::NoModem, Msg::NoModem);
    if (!TwoPorts) return GoOn;
    Context.Progress(gFormat(CallMsg::AnswerPort, Request.AnswerCom));
    const SearchEnd device = Context.FindModem(Link.Device.Port);
    if (device != SearchEnd::Found) return SearchFailed(device, CallResult::NoAnswerModem, CallMsg::NoAnswerModem);
    return GoOn;
}

TestCall::StageEnd TestCall::RestartDevice() {
    if (!TwoPorts) return GoOn;
    if (!Request.Restart) {
        Context.Progress(CallMsg::ProfileNotProven);
        return GoOn;
    }
    SerialPort& device = Link.Device.Port;
    Context.Progress(gFormat(Msg::Executing, "AT+CFUN=1,1"));
    InfoReply reply;
    if (!gSendCommand(device, RestartCommand)) return Context.StopAsked() ? CallResult::Stopped : CallResult::PortFailed;
    const ReplyCode code = device.ReadInfoReply(RestartCommand, RestartReplyMs, reply);
    if (code == Stopped) return CallResult::Stopped;
    if (code == Failed && !reply.Complete) return Context.StopAsked() ? CallResult::Stopped : CallResult::PortFailed;
    if (code == ModemError) {
        Context.Progress(gFormat(Msg::Received, reply.Final.c_str()));
        Context.Progress(CallMsg::RestartRefused);
        return GoOn;
    }
    // A modem that went down without its OK is waited for all the same.
    if (code == Ok) Context.Progress(gFormat(Msg::Received, reply.Final.c_str()));
    Context.Progress(CallMsg::WaitingRestart);
    const uint32_t deadline = Link.Now() + SysStartWaitMs;
    Link.Device.Pending.clear();
    Link.StartListening();
    while (const std::optional<CallLink::Line> line = Link.NextLine(deadline)) {
        if (&line->From == &Link.Device && gLineMeaning(line->Text).Kind == LineKind::SysStart) {
            Context.Progress(gFormat(Msg::Received, line->Text.c_str()));
            break;
        }
    }
    Link.StopListening();
    if (const StageEnd interrupted = Interrupted()) return interrupted;
    const SearchEnd back = Context.FindModem(device);
    if (back != SearchEnd::Found) return SearchFailed(back, CallResult::NotBack, CallMsg::NotBack);
    Found.ProfileProven = true;
    return GoOn;
}

// Each modem escapes with its own guard time: a device whose S12 is longer than the
// caller's would take a shorter pause for data.
TestCall::StageEnd TestCall::ReadGuardTimes() {
    CarrierWaitSeconds = Register(Link.Caller.Port, "ATS7?\r", 60);
    for (CallLink::Side* side : {&Link.Caller, &Link.Device})
        if (side->Read) side->GuardMs = static_cast<uint32_t>(Register(side->Port, "ATS12?\r", 50)) * 20;
    return Interrupted();
}
