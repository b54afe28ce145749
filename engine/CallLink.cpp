#include "engine/CallLink.h"

#include <chrono>

#include "engine/RunContext.h"
#include "serial/LineSplitter.h"
#include "serial/ReplyParser.h"

CallLink::CallLink(RunContext& context, SerialPort& caller, SerialPort& device, bool twoPorts)
    : Caller(caller, true), Device(device, twoPorts), Context(context) {}

uint32_t CallLink::Now() const { return Context.Now(); }

bool CallLink::Elapsed(uint32_t deadline) const { return static_cast<int32_t>(Context.Now() - deadline) >= 0; }

void CallLink::StartListening() {
    for (Side* side : {&Caller, &Device})
        if (side->Read && !side->Listener) side->Listener = std::make_unique<PortListener>(side->Port, Lock, Arrived);
}

void CallLink::StopListening() {
    for (Side* side : {&Caller, &Device}) {
        if (!side->Listener) continue;
        side->Pending += side->Listener->Finish();
        side->Listener.reset();
    }
}

// Every read of a listener wakes the wait, so a deadline on a clock that tests play
// faster than real time is seen at once.
void CallLink::WaitForBytes(uint32_t deadline, bool heedStop) {
    std::unique_lock lock(Lock);
    const auto ready = [&] {
        for (Side* side : {&Caller, &Device})
            if (side->Listener && (!side->Listener->Bytes.empty() || side->Listener->Failed)) return true;
        return (heedStop && Context.StopAsked()) || Elapsed(deadline);
    };
    const auto left = static_cast<int32_t>(deadline - Context.Now());
    Arrived.wait_for(lock, std::chrono::milliseconds(left > 0 ? left : 0), ready);
    for (Side* side : {&Caller, &Device}) {
        if (!side->Listener) continue;
        side->Pending += side->Listener->Bytes;
        side->Listener->Bytes.clear();
        if (side->Listener->Failed) PortBroken = true;
    }
}

std::optional<CallLink::Line> CallLink::NextLine(uint32_t deadline, bool heedStop) {
    for (;;) {
        for (Side* side : {&Caller, &Device}) {
            while (std::optional<std::string> line = gTakeLine(side->Pending)) {
                // A warning sent unasked during the call is the operator's, not the call's.
                const std::optional<Unasked> kind = gUnaskedKind(*line);
                if (!kind || *kind == Unasked::Quiet) return Line{*side, *line};
                Context.Unasked({*kind, *line});
            }
        }
        if ((heedStop && Context.StopAsked()) || PortBroken || Elapsed(deadline)) return std::nullopt;
        WaitForBytes(deadline, heedStop);
    }
}
