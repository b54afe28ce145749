// Ending the call: whatever ended the run, the modems go back on-hook before the ports
// close. A stop or the engine's ending does not cut this short: it is the reason to do it.

#include "engine/CallRows.h"
#include "engine/ConfigEngine.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/TestCall.h"
#include "os/Tick.h"

namespace {

// Beyond the guard time after +++, for the modem's OK.
constexpr uint32_t EscapeReplyMs = 2000;
constexpr uint32_t HangupReplyMs = 5000;
constexpr int HangupAttempts = 2;
// From the calling modem's ATH to the device's NO CARRIER.
constexpr uint32_t OtherSideMs = 5000;

// The port's waits, for the time of the hang-up, heed neither a stop nor the ending.
class Unstoppable {
public:
    explicit Unstoppable(SerialPort& port) : Port(port), Stop(port.StopEventRef), Cancel(port.CancelEventRef) {
        Port.StopEventRef = nullptr;
        Port.CancelEventRef = nullptr;
    }
    ~Unstoppable() {
        Port.StopEventRef = Stop;
        Port.CancelEventRef = Cancel;
    }
    Unstoppable(const Unstoppable&) = delete;
    Unstoppable& operator=(const Unstoppable&) = delete;

private:
    SerialPort& Port;
    Event* const Stop;
    const Event* const Cancel;
};

}  // namespace

void TestCall::EndCall() {
    Unstoppable caller(Caller.Port);
    Unstoppable device(Device.Port);
    PortBroken = false;
    Listen();
    Engine.ReportProgress(CallMsg::HangingUp);
    const bool deviceAnswered = Device.Online;
    if (Caller.OffHook && !HangUp(Caller, GuardMs)) Engine.ReportFailure(CallMsg::NotOnHook);
    if (deviceAnswered) {
        if (!Device.OffHook || AwaitOtherSideEnd()) {
            Engine.ReportProgress(CallMsg::OtherSideEnded);
        } else {
            Engine.ReportProgress(CallMsg::OtherSideSilent);
            if (!HangUp(Device, GuardMs)) Engine.ReportFailure(CallMsg::NotOnHook);
        }
    }
    // The ports' events come back only once no listener reads them.
    Deafen();
}

// The other side's NO CARRIER may come while this side hangs up: it is kept, not lost.
bool TestCall::NoteOtherSide(const Said& said, const Side& side) {
    if (said.From == &side) return false;
    // Online, its line may begin with the data that was on its way.
    if (said.From->Online ? gEndsWithNoCarrier(said.Line + '\r') : gCallLine(said.Line) == CallLine::NoCarrier)
        said.From->OffHook = said.From->Online = false;
    return true;
}

bool TestCall::AwaitOtherSideEnd() {
    const uint32_t deadline = gTickCount() + OtherSideMs;
    while (const std::optional<Said> said = NextLine(deadline, false)) {
        NoteOtherSide(*said, Caller);
        if (!Device.OffHook) return true;
    }
    return false;
}

// Online, the modem first hears the escape, framed by its guard time of silence; then,
// or straight away while it still dials, ATH. A CONNECT that comes in between is a call
// to escape from after all.
bool TestCall::HangUp(Side& side, uint32_t guardMs) {
    side.Pending.clear();
    for (int attempt = 0; attempt < HangupAttempts + 1; ++attempt) {
        if (side.Online) {
            Engine.ReportProgress(gFormat(Msg::Executing, "+++"));
            side.Port.Pause(guardMs);
            if (side.Port.Write("+++", 3) != 0) return false;
            side.Port.Pause(guardMs);
            const uint32_t deadline = gTickCount() + EscapeReplyMs;
            bool escaped = false;
            while (const std::optional<Said> said = NextLine(deadline, false)) {
                if (NoteOtherSide(*said, side)) continue;
                const CallLine line = gCallLine(said->Line);
                if (line == CallLine::NoCarrier) {
                    side.OffHook = side.Online = false;
                    return true;
                }
                escaped = line == CallLine::Ok;
                if (escaped) break;
            }
            if (PortBroken) return false;
            // Still online, an ATH would only cross the link as data.
            if (!escaped) continue;
            side.Online = false;
        }
        // The escape crossed the link as data, and the other side's line now ends in it.
        for (Side* other : {&Caller, &Device})
            if (other != &side && other->Online) other->Pending.clear();
        Engine.ReportProgress(gFormat(Msg::Executing, "ATH"));
        if (!Engine.SendText(side.Port, "ATH\r")) return false;
        const uint32_t deadline = gTickCount() + HangupReplyMs;
        while (const std::optional<Said> said = NextLine(deadline, false)) {
            if (NoteOtherSide(*said, side)) continue;
            const CallLine line = gCallLine(said->Line);
            if (line == CallLine::Ok || line == CallLine::NoCarrier) {
                Engine.ReportProgress(gFormat(Msg::Received, said->Line.c_str()));
                side.OffHook = false;
                return true;
            }
            if (line == CallLine::Connect) {
                side.Online = true;
                break;
            }
            if (line == CallLine::Error) break;
        }
        if (PortBroken) return false;
    }
    return false;
}
