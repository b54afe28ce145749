// The dial: ATD on the calling modem, then the lines of both modems until both are
// connected or the call has ended. In the workshop the device's ring and answer, read on
// its own port a moment later, come before the caller's CONNECT in the log, as they came
// in the call. A network that refuses the calling modem's bearer gets one more dial with
// the other common one.


#include "engine/CallMessages.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/LineMeaning.h"
#include "engine/PortCommands.h"
#include "engine/RunContext.h"
#include "engine/TestCall.h"

namespace {

// The calling modem gives up after S7 seconds; this much later the job gives up on it.
constexpr uint32_t DialMarginMs = 10000;
// Both modems say CONNECT at nearly the same moment; the second is waited for this long.
constexpr uint32_t PairConnectMs = 5000;
// A ring the device's modem tells as a voice call (AT+CRC=1), which a data modem leaves.
constexpr std::string_view VoiceRing = "+CRING: VOICE";

}  // namespace

TestCall::StageEnd TestCall::Dial() {
    const StageEnd end = DialOnce();
    if (!BearerRetryDue) return end;
    const int refused = Found.Bearer ? Found.Bearer : BearerV32;
    const int other = refused == BearerV110 ? BearerV32 : BearerV110;
    Context.Progress(gFormat(CallMsg::BearerRefused, gBearerText(refused).c_str()) + " " +
                     gFormat(CallMsg::BearerRetry, gBearerText(other).c_str()));
    SetBearer(other);
    if (const StageEnd interrupted = Interrupted()) return interrupted;
    return DialOnce();
}

TestCall::StageEnd TestCall::DialOnce() {
    CallLink::Side& caller = Link.Caller;
    const std::string dial = "ATD" + Request.Number + "\r";
    Context.Progress(gFormat(CallMsg::Dialing, Request.Number.c_str()));
    caller.Pending.clear();
    Link.Device.Pending.clear();
    Cause.reset();
    Found.Cause = 0;
    Found.Rings = 0;
    RangAsVoice = false;
    if (!gSendCommand(caller.Port, dial.c_str())) return Context.StopAsked() ? CallResult::Stopped : CallResult::PortFailed;
    caller.Phase = CallPhase::Dialing;
    const uint32_t dialled = Link.Now();
    Link.StartListening();
    uint32_t deadline = dialled + static_cast<uint32_t>(CarrierWaitSeconds) * 1000 + DialMarginMs;
    int shownSeconds = -1;
    for (;;) {
        const uint32_t since = Link.Now() - dialled;
        if (static_cast<int>(since / 1000) != shownSeconds && !caller.Online()) {
            shownSeconds = static_cast<int>(since / 1000);
            Context.Status(gFormat(CallMsg::Waiting, shownSeconds));
        }
        const uint32_t nextSecond = dialled + (since / 1000 + 1) * 1000;
        const bool soon = static_cast<int32_t>(nextSecond - deadline) < 0;
        const std::optional<CallLink::Line> line = Link.NextLine(soon ? nextSecond : deadline);
        if (const StageEnd interrupted = Interrupted()) return interrupted;
        if (!line) {
            if (!Link.Elapsed(deadline)) continue;
            // Both connected but for the device's word, which the data check will judge.
            if (caller.Online()) return Connected();
            return Failure(CallResult::NoReply, gFormat(Msg::NoReply, ConfigEngine::StripLineEnds(dial).c_str()));
        }
        const LineMeaning said = gLineMeaning(line->Text);
        const DialTurn turn = &line->From == &Link.Device ? TakeDeviceLine(*line, said)
                                                          : TakeCallerLine(*line, said, dialled, deadline);
        if (turn) return *turn;
    }
}

TestCall::StageEnd TestCall::Connected() {
    Context.Progress(
        gFormat(CallMsg::Connected, Found.ConnectText.c_str(), gOneDecimal(Found.ConnectSeconds, ',').c_str()));
    return GoOn;
}

TestCall::DialTurn TestCall::TakeDeviceLine(const CallLink::Line& line, const LineMeaning& said) {
    CallLink::Side& device = Link.Device;
    if (said.Kind == LineKind::Ring && !device.Online()) {
        device.Phase = CallPhase::Ringing;
        RangAsVoice = RangAsVoice || line.Text == VoiceRing;
        Context.Progress(gFormat(CallMsg::Ring, ++Found.Rings));
    } else if (said.Kind == LineKind::Connect && !device.Online()) {
        device.Phase = CallPhase::Online;
        Context.Progress(gFormat(CallMsg::AnsweredByItself, line.Text.c_str()));
        if (Link.Caller.Online()) return Connected();
    } else if (said.Kind == LineKind::NoCarrier && device.Online()) {
        device.Phase = CallPhase::OnHook;
        return Failure(CallResult::Dropped, CallMsg::Dropped);
    }
    return std::nullopt;
}

TestCall::DialTurn TestCall::TakeCallerLine(const CallLink::Line& line, const LineMeaning& said, uint32_t dialled,
                                            uint32_t& deadline) {
    CallLink::Side& caller = Link.Caller;
    switch (said.Kind) {
    case LineKind::Other:
        if (std::optional<NetworkCause> cause = gNetworkCause(line.Text)) Cause = std::move(cause);
        return std::nullopt;
    case LineKind::Connect:
        caller.Phase = CallPhase::Online;
        Found.ConnectText = line.Text;
        Found.ConnectSeconds = static_cast<double>(Link.Now() - dialled) / 1000.0;
        if (!TwoPorts || Link.Device.Online()) return Connected();
        deadline = Link.Now() + PairConnectMs;
        return std::nullopt;
    case LineKind::NoCarrier:
    case LineKind::NoAnswer:
        caller.Phase = CallPhase::OnHook;
        if (RangAsVoice) return DialFailed(CallResult::NotAnswered, CallMsg::RangAsVoice);
        if (Found.Rings > 0) return DialFailed(CallResult::NotAnswered, gFormat(CallMsg::RangUnanswered, Found.Rings));
        if (TwoPorts) return DialFailed(CallResult::NotReached, CallMsg::NotReached);
        return DialFailed(CallResult::NotAnswered, CallMsg::NotAnswered);
    // The modem refused the dial: its own words first, as a job shows a refusal.
    case LineKind::Busy:
        caller.Phase = CallPhase::OnHook;
        Context.Progress(gFormat(Msg::Received, said.Words.c_str()));
        return DialFailed(CallResult::Busy, CallMsg::Busy);
    case LineKind::Refusal:
        caller.Phase = CallPhase::OnHook;
        Context.Progress(gFormat(Msg::Received, said.Words.c_str()));
        return DialFailed(CallResult::NoNetwork, CallMsg::NoNetwork);
    default:
        return std::nullopt;
    }
}
