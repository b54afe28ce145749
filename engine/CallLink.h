#pragma once
// The two modems of a test call as its stages see them: each side's port, where it is in
// the call, the bytes it sent that are not yet read, and the listener that reads them
// while the call lasts. The stages take the next line of either side from here.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/PortListener.h"

class RunContext;
class SerialPort;

// As the virtual modem names its phases (sim/CallSession.h).
enum class CallPhase { OnHook, Dialing, Ringing, Online, Command };

class CallLink {
public:
    struct Side {
        Side(SerialPort& port, bool read) : Port(port), Read(read) {}
        bool OffHook() const { return Phase == CallPhase::Dialing || Phase == CallPhase::Online || Phase == CallPhase::Command; }
        bool Online() const { return Phase == CallPhase::Online; }

        SerialPort& Port;
        const bool Read;  // its port is read: the caller's always, the device's in the workshop
        CallPhase Phase = CallPhase::OnHook;
        uint32_t GuardMs = 1000;  // S12: the silence around its escape
        std::string Pending;      // received bytes not yet taken as lines or data
        std::unique_ptr<PortListener> Listener;
    };
    struct Line {
        Side& From;
        std::string Text;
    };

    CallLink(RunContext& context, SerialPort& caller, SerialPort& device, bool twoPorts);

    // Reads both ports at once until StopListening; no UnstoppableReads of them may begin
    // or end meanwhile.
    void StartListening();
    void StopListening();
    // Waits until bytes arrive, a port fails (PortBroken), a stop comes (when heeded) or the
    // deadline on the run's clock passes, and moves what arrived into each side's Pending.
    void WaitForBytes(uint32_t deadline, bool heedStop);
    // The next line of either side before the deadline; none on a stop, a broken port or a
    // time-out. A warning sent unasked is reported and passed over.
    std::optional<Line> NextLine(uint32_t deadline, bool heedStop = true);
    bool Elapsed(uint32_t deadline) const;
    uint32_t Now() const;

    Side Caller;
    Side Device;
    bool PortBroken = false;

private:
    RunContext& Context;
    std::mutex Lock;  // the listeners' bytes
    std::condition_variable Arrived;
};
