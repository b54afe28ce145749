#pragma once
// What the operator asks of a test call, and what the call proved: written by the worker
// during the call, to be read once the run has ended.

#include <cstdint>
#include <string>

struct CallRequest {
    std::string Number;
    // The COM number of the device's modem in the workshop; 0 when it is already at the meter.
    int32_t AnswerCom = 0;
    // Restart the device's modem first, so that the stored profile is what answers.
    bool Restart = true;
    // The +CBST speed to dial with and no other; 0: the modem's own, and on a bearer the
    // network refuses, the other common one once.
    int Bearer = 0;
};

// How a test call ended; Passed is the only success. The row, the run's result and the
// report's word of each are in engine/CallEnds.cpp.
enum class CallResult {
    NotRun,         // no call has run yet
    Passed,
    Stopped,
    PortNotOpened,
    PortFailed,
    NoModem,        // the calling modem did not answer the search
    NoAnswerModem,  // the device's modem did not answer the search
    NotBack,        // the device's modem did not come back after its restart
    NoNetwork,      // the calling modem could not dial
    NoReply,        // the calling modem never told how the call ended
    Busy,
    NotReached,     // the device's modem never rang
    NotAnswered,    // it rang (or, at the meter, may have) and did not answer
    Refused,        // the network refused the call for a reason it gave
    Dropped,
    Damaged,        // data came back wrong or not all of it
    NotHungUp,      // the call went as far as its rows say, but a modem may still be in it
};

struct CallFindings {
    CallResult End = CallResult::NotRun;
    std::string ConnectText;      // the calling modem's CONNECT line
    double ConnectSeconds = 0;    // from the dial to that line
    int32_t BytesChecked = 0;     // each way, compared whole
    int32_t BitRate = 0;          // of the data check, each way
    int32_t Rings = 0;            // said by the device's modem
    bool ProfileProven = false;   // the device's modem answered after its restart
    int32_t Cause = 0;            // the network's reason for the last dial's end; 0 none given
    int32_t Bearer = 0;           // the +CBST speed of the last dial; 0 the modem did not tell
};

// The end in a few English words, as reports name it.
const char* gCallResultName(CallResult end);
