#pragma once
// The test call: from the calling modem on the utility's port to the device's modem,
// which in the workshop sits on a second port and at the meter is out of reach. It
// dials, sees the device's modem answer by itself, checks the data path both ways and
// hangs up; it changes nothing in the calling modem's profile, restarts at most the
// device's modem and stores nothing in either modem.

#include <cstdint>
#include <optional>
#include <string>

#include "engine/CallLink.h"
#include "engine/CallOutcome.h"
#include "engine/LineMeaning.h"
#include "engine/NetworkCause.h"
#include "engine/RunContext.h"

class SerialPort;

class TestCall {
public:
    TestCall(RunContext& context, int32_t callerCom, SerialPort& caller, SerialPort& device, const CallRequest& request);
    // Runs the stages and the hang-up and reports every stage; returns how the call ended.
    CallResult Run();

private:
    // What a stage leaves: none to go on to the next, else the call's end.
    using StageEnd = std::optional<CallResult>;
    static constexpr StageEnd GoOn = std::nullopt;

    StageEnd FindModems();
    StageEnd RestartDevice();
    StageEnd ReadGuardTimes();
    StageEnd PrepareDial();     // CallCauses.cpp
    // Once, and once more with the other common bearer when the network refuses this one.
    StageEnd Dial();            // CallDial.cpp
    StageEnd DialOnce();
    // What one line does to a dial: none while the dial listens on, else its stage's end.
    using DialTurn = std::optional<StageEnd>;
    DialTurn TakeDeviceLine(const CallLink::Line& line, const LineMeaning& said);
    // deadline: moved on when the caller connects first and the device's word is awaited.
    DialTurn TakeCallerLine(const CallLink::Line& line, const LineMeaning& said, uint32_t dialled, uint32_t& deadline);
    StageEnd Connected();
    StageEnd CheckData();       // CallData.cpp
    // True when neither modem is left in the call (CallHangup.cpp).
    bool HangUpBoth();
    bool HangUp(CallLink::Side& side);
    bool AwaitDeviceEnd();
    // Takes a NO CARRIER of the side that is not hanging up; false when line is that side's own.
    bool NoteOtherSideEnd(const CallLink::Line& line, const CallLink::Side& hangingUp);

    StageEnd Failure(CallResult end, const std::string& row);
    // The end of a dial the calling modem ended, told by the network's reason when it gave
    // one (CallCauses.cpp).
    StageEnd DialFailed(CallResult end, const std::string& row);
    std::optional<NetworkCause> AskCause();
    // Sets the calling modem's bearer for this call and reads back the one it took.
    void SetBearer(int speed);
    // The calling modem's own bearer again, after a call that dialled with another.
    void RestoreBearer();
    // A stop or a broken port, when either has ended the call.
    StageEnd Interrupted() const;
    StageEnd SearchFailed(SearchEnd search, CallResult end, const char* row);

    RunContext& Context;
    const int32_t CallerCom;
    const CallRequest Request;
    const bool TwoPorts;
    CallLink Link;
    CallFindings& Found;
    int CarrierWaitSeconds = 60;  // S7 of the calling modem
    std::optional<NetworkCause> Cause;  // the +CAUSE line of the dial
    bool RangAsVoice = false;           // the device's ring said +CRING: VOICE
    bool BearerRetryDue = false;        // the network refused the first dial's bearer
    bool BearerChanged = false;         // the modem's own bearer was changed for the call
    std::string OwnBearer;              // its +CBST before the call, "7,0,1"; empty when unknown
};
