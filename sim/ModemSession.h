#pragma once
// The modem's side of the conversation, without the line: bytes from the other side
// go in with the speed it had set, and what the modem sends back comes out, each piece
// with the interface speed it goes out at. Echo, command lines, speed mismatch, the
// unsolicited RING and the hang-up count live here; timing and the line do not.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/AtCommands.h"
#include "sim/CallSession.h"
#include "sim/ModemSettings.h"
#include "sim/RealBehaviour.h"
#include "sim/ScriptedAnswers.h"
#include "sim/SignalWalk.h"

enum class MismatchMode { Silent, Garbage };

// How the modem behaves on its line beyond the commands' answers; the virtual modem's
// options hold these, so each default is written here alone.
struct SessionBehaviour {
    MismatchMode Mismatch = MismatchMode::Garbage;  // what bytes at another speed bring back
    bool Silent = false;      // never sends a byte
    bool Noise = false;       // an unsolicited RING when the other side first speaks at its speed
    bool Flood = false;       // endless bytes without line ends after the first command
    int HangupAfter = 0;      // closes the line after this many command lines; 0 never
    bool SignalWalk = false;  // the level moves after each reading (sim/SignalWalk.h)
    std::vector<ScriptedAnswer> Answers;  // questions answered with chosen bytes, word for word
    RealBehaviour Real;       // what real modems do beyond the textbook; none by default
};

struct SessionRules : AtRules, SessionBehaviour {
    SimCard Card;  // as it powers up
};

struct Transmission {
    std::string Bytes;
    uint32_t Speed = 0;   // the interface speed it goes out at
    bool IsResult = false;  // a reply to a command line, which the modem's latency holds back
    uint32_t HoldMs = 0;    // how long the modem works on the command before this result
};

class ModemSession {
public:
    ModemSession(const SessionRules& rules, ModemSettings settings, ModemSettings stored, uint32_t seed);

    // nowMs, on the owner's clock, times the +++ escape of a call.
    std::vector<Transmission> Receive(std::string_view bytes, uint32_t lineSpeed, uint64_t nowMs = 0);
    // Bytes without line ends for the flood.
    std::string FloodBytes(size_t count);

    const ModemSettings& Settings() const { return Current; }
    const ModemSettings& StoredProfile() const { return Stored; }
    int CommandLines() const { return Lines; }
    bool HangUpNow() const { return Rules.HangupAfter > 0 && Lines >= Rules.HangupAfter; }
    bool Flooding() const { return Rules.Flood && !Rules.Silent && Lines > 0; }
    // True once after each &W, so the owner can keep the profile.
    bool TakeProfileStored();
    const SimCard& Card() const { return Sim; }
    // True once after each change of the card's lock or tries, which it keeps over power cuts.
    bool TakeCardChanged();

    // Calls: the modem joins a network as station; timeScale speeds up its guard times.
    void JoinNetwork(CallNetwork* network, int station, uint32_t timeScale);
    // What the call has to say now (sim/CallSession.h), and when it next has by time alone.
    std::vector<Transmission> CallUpdate(uint64_t nowMs);
    uint64_t CallDueMs() const { return Call.NextDueMs(Current); }
    CallPhase Phase() const { return Call.Phase(); }
    int Rings() const { return Call.Rings(); }
    int LastCause() const { return Call.LastCause(); }
    // Whether it can make and take calls: its card ready and registered.
    bool Reachable() const;
    // True once after AT+CFUN=1,1 was answered: the owner then restarts it.
    bool TakeRestart();
    // As after a power cut: the stored profile in force, the card asking for its PIN
    // again if it asks at power-on, no call.
    void Restart();

private:
    bool Understands(uint32_t lineSpeed) const;
    void HandleLine(std::vector<Transmission>& out, uint64_t nowMs);
    void Emit(std::vector<Transmission>& out, std::string bytes, bool isResult);
    // What a real modem adds to the outcome of body (sim/RealBehaviour.h).
    void ActReal(std::string_view body, AtOutcome& outcome) const;
    std::string Garbage(size_t count);

    static constexpr size_t MaxLine = 512;

    SessionRules Rules;
    ModemSettings Current;
    ModemSettings Stored;
    std::mt19937 Random;
    SignalWalk Walk;
    std::string Line;
    bool LineOverflow = false;
    bool Rang = false;
    bool ProfileStored = false;
    SimCard Sim;
    bool CardChanged = false;
    int Lines = 0;
    CallSession Call;
    bool RestartAsked = false;
};
