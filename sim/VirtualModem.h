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
#include "sim/ModemSession.h"
#include "sim/ModemSettings.h"
#include "sim/RealBehaviour.h"
#include "sim/ScriptedAnswers.h"
#include "sim/StateFile.h"

// One modem's options: what it answers (AtRules), how it behaves on its line
// (SessionBehaviour), its place on the network (StationOptions), and what only the
// whole modem knows.
struct VirtualModemOptions : AtRules, SessionBehaviour, StationOptions {
    int ComNumber = 1;
    std::string PortsFolder;        // empty: the per-user ports folder
    uint32_t Speed = 115200;        // interface speed at power-on; 0 is autobaud
    std::string ProfileFile;        // keeps the stored profile across runs; empty: none
    SimState Sim = SimState::Ready; // the inserted SIM card's state at power-on
    std::string Pin = "0000";       // the card's PIN
    bool LockFixed = false;         // the card refuses to change its PIN request
    uint32_t DelayMs = 0;           // latency before each result code
    bool Split = false;             // echo and replies in random pieces with short gaps
    std::optional<uint32_t> Seed;   // makes Split, garbage and flood repeatable
    std::string TranscriptFile;     // every byte in and out, appended as it goes; empty: none
    bool KeepTranscript = true;     // keeps every byte in memory too, for Transcript() and the like
    std::shared_ptr<CallNetwork> Calls;  // the network it calls on; none: every ATD gets NO CARRIER
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
