#pragma once
// One modem's side of its calls: the stage it is in, what it says of the network's news
// (RING or +CRING, CONNECT, BUSY, NO CARRIER, and +CAUSE before them) in the form its
// settings ask, the answer after S0 rings, the +++ escape with its guard times, and why
// its last call ended (+CEER). Time comes in as milliseconds from the owner's clock; the
// network does the rest.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "serial/ResultCodes.h"
#include "sim/AtCommands.h"
#include "sim/ModemSettings.h"

class CallNetwork;

enum class CallPhase { OnHook, Dialing, Ringing, Online, Command };

// As the modem's state file names it: "on-hook", "dialing", "ringing", "online", "command".
std::string_view gCallPhaseName(CallPhase phase);

class CallSession {
public:
    static constexpr uint64_t Never = std::numeric_limits<uint64_t>::max();

    // Without a network every dial ends in NO CARRIER.
    void Join(CallNetwork* network, int station, uint32_t timeScale);

    CallPhase Phase() const { return Stage; }
    // The rings of its last incoming call, answered or not.
    int Rings() const { return RingCount; }

    // Carries out the call action of a command line's outcome: its result, none yet
    // (Pending) for a dial that rings, and the lines that come before it.
    void Command(AtOutcome& outcome, const ModemSettings& s, const AtRules& rules, uint64_t nowMs);
    // The reason of 3GPP TS 24.008 its last call ended with, as the state file tells it;
    // 0 none.
    int LastCause() const { return Cause; }
    // Bytes from the line while online go to the other side; +++ is watched for.
    void Data(std::string_view bytes, uint64_t nowMs, const ModemSettings& s);
    // A byte from the line while dialing gives the call up; what the modem says then.
    std::string Abort(const ModemSettings& s);
    // What the modem sends now: its result codes for the network's news and the other
    // side's bytes while online (held while in command mode), and OK for an escape.
    std::string Update(uint64_t nowMs, const ModemSettings& s);
    // When Update next has something to do by time alone, or Never.
    uint64_t NextDueMs(const ModemSettings& s) const;
    // Ends any call without a word, as a restart does.
    void Reset();

private:
    uint64_t GuardMs(const ModemSettings& s) const;
    std::optional<ResultCode> Act(AtOutcome& outcome, const ModemSettings& s, uint64_t nowMs);
    void Hangup();
    void Ended(int cause, bool voice);
    // "+CAUSE: 8:17" under an odd S18, before a result of the network's; empty else.
    std::string CauseText(const ModemSettings& s) const;
    // That line in the form of s, or nothing.
    std::string CauseLine(const ModemSettings& s) const;
    // The answer to AT+CEER.
    std::string CeerLine(const AtRules& rules) const;
    std::string RingText(bool voice, const ModemSettings& s) const;

    CallNetwork* Network = nullptr;
    int Station = 0;
    uint32_t TimeScale = 1;
    CallPhase Stage = CallPhase::OnHook;
    int RingCount = 0;
    bool VoiceRinging = false;  // the call that rings came as a voice call
    int Cause = 0;              // why its last call ended
    bool CauseOfVoice = false;  // that call was a voice call
    uint32_t Bearer = 0;
    std::string Held;        // the other side's bytes that came in command mode
    uint64_t LastByteMs = 0; // online: when the line last brought a byte
    int Pluses = 0;          // of an escape in the making
};
