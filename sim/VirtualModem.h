#pragma once
// A modem on a pseudo-terminal. It answers AT command lines the way the supported
// modems do, at its interface speed only, and can be told to misbehave in the ways
// real lines and modems do. Start() makes the link COMn in the ports folder point at
// its terminal, so the utility finds it by COM number; a serving thread answers until
// Stop() or until it hangs up by itself (HangupAfter).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/AtCommands.h"
#include "sim/CallNetwork.h"
#include "sim/CallSession.h"
#include "sim/ModemSettings.h"
#include "sim/RealBehaviour.h"
#include "sim/ScriptedAnswers.h"
#include "sim/StateFile.h"

enum class MismatchMode { Silent, Garbage };

struct VirtualModemOptions {
    int ComNumber = 1;
    std::string PortsFolder;        // empty: the per-user ports folder
    uint32_t Speed = 115200;        // interface speed at power-on; 0 is autobaud
    MismatchMode Mismatch = MismatchMode::Garbage;
    std::string ProfileFile;        // keeps the stored profile across runs; empty: none
    bool NoSim = false;             // ATS0=... answers ERROR, AT+CPIN? +CME ERROR: 10
    SimState Sim = SimState::Ready; // the inserted SIM card's state at power-on
    std::string Pin = "0000";       // the card's PIN
    bool LockFixed = false;         // the card refuses to change its PIN request
    int Signal = 17;                // +CSQ level: 0 to 31, 99 unknown
    bool SignalWalk = false;        // the level wanders from Signal, reading by reading
    SignalFault CsqFault = SignalFault::None;  // AT+CSQ answers ERROR or no level
    Registration Network = Registration::Home;  // while the SIM card is ready
    std::string Imei;               // empty: one made from the COM number
    std::string Maker = "Cinterion";  // AT+CGMI's answer, any bytes: a hostile modem's markup
    std::string Model = "MC52i";    // AT+CGMM's answer, likewise
    uint32_t DelayMs = 0;           // latency before each result code
    bool Split = false;             // echo and replies in random pieces with short gaps
    std::optional<uint32_t> Seed;   // makes Split, garbage and flood repeatable
    bool Silent = false;            // never sends a byte
    int HangupAfter = 0;            // closes the line after this many command lines; 0 never
    bool Noise = false;             // an unsolicited RING when the other side first speaks at its speed
    bool Flood = false;             // endless bytes without line ends after the first command
    std::vector<ScriptedAnswer> Answers;  // questions answered with chosen bytes, word for word
    std::string TranscriptFile;     // every byte in and out, appended as it goes; empty: none
    bool KeepTranscript = true;     // keeps every byte in memory too, for Transcript() and the like
    RealBehaviour Real;             // what real modems do beyond the textbook; none by default
    std::shared_ptr<CallNetwork> Calls;  // the network it calls on; none: every ATD gets NO CARRIER
    std::string Number;             // its number there; empty: gNumberFor(ComNumber)
    bool AlwaysBusy = false;        // its callers hear BUSY
    uint32_t Bearer = 9600;         // bit/s of its calls' data channel
    double CorruptRate = 0;         // bit errors per bit on its calls' link
    uint32_t DropCallAfterMs = 0;   // the network drops its calls this long after CONNECT; 0 never
    uint32_t TimeScale = 1;         // rings, waits, guard times and restarts this many times faster
    std::string StateFileName;      // where the process writes the modems' state; empty: nowhere
    std::shared_ptr<StateFile> State;  // that file, shared by the process's modems
};

enum class TranscriptDirection { Received, Sent };

struct TranscriptEntry {
    uint64_t Millis = 0;            // since Start()
    TranscriptDirection Direction = TranscriptDirection::Received;
    uint32_t InterfaceSpeed = 0;    // the modem's speed in force; 0 autobaud
    uint32_t LineSpeed = 0;         // the speed the other side had set
    std::string Bytes;
};

class VirtualModem {
public:
    explicit VirtualModem(VirtualModemOptions options = {});
    ~VirtualModem();
    VirtualModem(const VirtualModem&) = delete;
    VirtualModem& operator=(const VirtualModem&) = delete;

    // Creates the terminal and the link and starts serving. Empty on success, otherwise
    // why it could not start (nothing is left behind then).
    std::string Start();
    // Stops serving, closes the terminal and removes the link if it is still ours.
    void Stop();

    int ComNumber() const;
    std::string DevicePath() const;   // the slave terminal, e.g. /dev/pts/7
    std::string LinkPath() const;     // <ports folder>/COMn

    ModemSettings Settings() const;
    ModemSettings StoredProfile() const;
    SimCard Card() const;
    int CommandLines() const;         // command lines handled so far
    bool HungUp() const;              // the line was closed by HangupAfter
    std::string Number() const;       // on the network
    CallPhase Phase() const;

    // Empty unless KeepTranscript.
    std::vector<TranscriptEntry> Transcript() const;
    std::string ReceivedBytes() const;  // everything received, in order
    std::string SentBytes() const;      // everything sent, in order

    // Waits until at least count command lines were answered (or the modem hung up);
    // false when the time-out passed first.
    bool WaitForCommandLines(int count, std::chrono::milliseconds timeout) const;
    // Waits until at least count bytes were received and their speed checked.
    bool WaitForReceivedBytes(size_t count, std::chrono::milliseconds timeout) const;
    // Waits until its call is in phase; false when the time-out passed first.
    bool WaitForPhase(CallPhase phase, std::chrono::milliseconds timeout) const;

private:
    struct Impl;
    std::unique_ptr<Impl> P;
};
