#pragma once
// The test call on the engine's open ports: the calling modem on Port and, in the
// workshop, the device's modem on AnswerPort. It finds both modems, restarts the device's
// one when asked so that its stored profile is what answers, dials, follows the call with
// a row for each ring and for the answer, sends a test block each way and compares it,
// and always ends the call it started, a stop or the engine's ending included. It never
// answers for the device's modem and stores nothing in either modem.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/CallOutcome.h"
#include "engine/PortListener.h"

class ConfigEngine;
class SerialPort;

class TestCall {
public:
    TestCall(ConfigEngine& engine, const CallRequest& request);
    // Reports every stage and the final row; the engine's Outcome holds how it ended.
    void Run();

private:
    // One modem of the call and what is left to end of it.
    struct Side {
        explicit Side(SerialPort& port) : Port(port) {}
        SerialPort& Port;
        std::string Pending;   // received bytes not yet taken as lines or data
        std::unique_ptr<PortListener> Ear;
        bool OffHook = false;  // dialling or in a call
        bool Online = false;   // in a call, its bytes are data
    };
    struct Said {
        Side* From = nullptr;
        std::string Line;
    };

    CallResult FindModems();
    CallResult RestartDevice();
    CallResult Dial();
    CallResult CheckData();  // CallData.cpp
    void EndCall();       // CallHangup.cpp
    bool HangUp(Side& side, uint32_t guardMs);
    bool AwaitOtherSideEnd();
    // True, after noting a NO CARRIER, when said is not side's.
    static bool NoteOtherSide(const Said& heard, const Side& side);

    // Reads both ports at once until Deafen, the ports' events untouched meanwhile.
    void Listen();
    void Deafen();
    // Waits until bytes arrive, a port fails (PortBroken), a stop comes (when watched) or the
    // tick deadline passes, and moves what arrived into each side's Pending.
    void WaitForArrival(uint32_t deadline, bool watchStop);
    // The next line of either side before the tick deadline; none on a stop or a time-out.
    std::optional<Said> NextLine(uint32_t deadline, bool watchStop = true);
    // An S-register of the calling modem, or fallback when it does not tell.
    int Register(const char* query, int fallback);
    CallResult Failure(CallResult end, const std::string& row);
    CallResult Interrupted();

    ConfigEngine& Engine;
    const CallRequest Request;
    Side Caller;
    Side Device;
    bool TwoPorts;
    bool PortBroken = false;
    std::mutex Lock;  // the listeners' bytes
    std::condition_variable Arrived;
    uint32_t GuardMs = 1000;  // S12, the escape's guard time
};
