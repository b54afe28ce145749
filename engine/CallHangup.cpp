// Ending the call: whatever ended the run, the modems go back on-hook before the ports
// close. A stop or the engine's ending does not cut this short: it is the reason to do it.

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/LineMeaning.h"
#include "engine/PortCommands.h"
#include "engine/RunContext.h"
#include "engine/TestCall.h"
#include "serial/SerialPort.h"

namespace {

// Beyond the guard time after +++, for the modem's OK.
constexpr uint32_t EscapeReplyMs = 2000;
constexpr uint32_t HangupReplyMs = 5000;
constexpr int HangupAttempts = 2;
// From the calling modem's ATH to the device's NO CARRIER.
constexpr uint32_t OtherSideMs = 5000;

}  // namespace

bool TestCall::HangUpBoth() {
    // The port's waits, for the time of the hang-up, heed neither a stop nor the ending.
    UnstoppableReads caller(Link.Caller.Port, UnstoppableReads::Ending::HeldBack);
    UnstoppableReads device(Link.Device.Port, UnstoppableReads::Ending::HeldBack);
    Link.PortBroken = false;
    Link.StartListening();
    Context.Progress(CallMsg::HangingUp);
    bool hungUp = true;
    const auto hangUp = [&](CallLink::Side& side) {
        if (HangUp(side)) return;
        Context.Failure(CallMsg::NotOnHook);
        hungUp = false;
    };
    const bool deviceAnswered = Link.Device.Phase == CallPhase::Online || Link.Device.Phase == CallPhase::Command;
    if (Link.Caller.OffHook()) hangUp(Link.Caller);
    if (deviceAnswered) {
        if (!Link.Device.OffHook() || AwaitDeviceEnd()) {
            Context.Progress(CallMsg::OtherSideEnded);
        } else {
            Context.Progress(CallMsg::OtherSideSilent);
            hangUp(Link.Device);
        }
    }
    // The ports heed a stop again only once no listener reads them.
    Link.StopListening();
    return hungUp;
}

// The other side's NO CARRIER may come while this side hangs up: it is kept, not lost.
bool TestCall::NoteOtherSideEnd(const CallLink::Line& line, const CallLink::Side& hangingUp) {
    if (&line.From == &hangingUp) return false;
    CallLink::Side& other = line.From;
    // Online, its line may begin with the data that was on its way.
    const bool ended = other.Online() ? gEndsWithNoCarrier(line.Text + '\r')
                                      : gLineMeaning(line.Text).Kind == LineKind::NoCarrier;
    if (ended) other.Phase = CallPhase::OnHook;
    return true;
}

bool TestCall::AwaitDeviceEnd() {
    const uint32_t deadline = Link.Now() + OtherSideMs;
    while (const std::optional<CallLink::Line> line = Link.NextLine(deadline, false)) {
        NoteOtherSideEnd(*line, Link.Caller);
        if (!Link.Device.OffHook()) return true;
    }
    return false;
}

// Online, the modem first hears the escape, framed by its own guard time of silence;
// then, or straight away while it still dials, ATH. A CONNECT that comes in between is a
// call to escape from after all.
bool TestCall::HangUp(CallLink::Side& side) {
    side.Pending.clear();
    for (int attempt = 0; attempt < HangupAttempts + 1; ++attempt) {
        if (side.Online()) {
            Context.Progress(gFormat(Msg::Executing, "+++"));
            side.Port.Pause(side.GuardMs);
            if (side.Port.Write("+++", 3) != 0) return false;
            side.Port.Pause(side.GuardMs);
            const uint32_t deadline = Link.Now() + EscapeReplyMs;
            bool escaped = false;
            while (const std::optional<CallLink::Line> line = Link.NextLine(deadline, false)) {
                if (NoteOtherSideEnd(*line, side)) continue;
                const LineKind kind = gLineMeaning(line->Text).Kind;
                if (kind == LineKind::NoCarrier) {
                    side.Phase = CallPhase::OnHook;
                    return true;
                }
                escaped = kind == LineKind::Ok;
                if (escaped) break;
            }
            if (Link.PortBroken) return false;
            // Still online, an ATH would only cross the link as data.
            if (!escaped) continue;
            side.Phase = CallPhase::Command;
        }
        // The escape crossed the link as data, and the other side's line now ends in it.
        for (CallLink::Side* other : {&Link.Caller, &Link.Device})
            if (other != &side && other->Online()) other->Pending.clear();
        Context.Progress(gFormat(Msg::Executing, "ATH"));
        if (!gSendCommand(side.Port, "ATH\r")) return false;
        const uint32_t deadline = Link.Now() + HangupReplyMs;
        while (const std::optional<CallLink::Line> line = Link.NextLine(deadline, false)) {
            if (NoteOtherSideEnd(*line, side)) continue;
            const LineMeaning said = gLineMeaning(line->Text);
            if (said.Kind == LineKind::Ok || said.Kind == LineKind::NoCarrier) {
                Context.Progress(gFormat(Msg::Received, line->Text.c_str()));
                side.Phase = CallPhase::OnHook;
                return true;
            }
            if (said.Kind == LineKind::Connect) {
                side.Phase = CallPhase::Online;
                break;
            }
            if (said.Kind == LineKind::Refusal) break;
        }
        if (Link.PortBroken) return false;
    }
    return false;
}
