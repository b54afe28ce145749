#include "sim/VirtualModem.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "serial/ComNames.h"
#include "sim/ComClaim.h"
#include "sim/DeafSpells.h"
#include "sim/ModemLine.h"
#include "sim/ModemSession.h"
#include "sim/ProfileFile.h"
#include "sim/Transcript.h"

namespace fs = std::filesystem;

namespace {
// Bounds of each wait for bytes: short while flooding, so the flood keeps its pace.
constexpr int IdleWaitMs = 250;
constexpr int FloodTickMs = 10;
// How long the last reply before a hang-up may wait for the other side to read it.
constexpr int HangUpDrainMs = 2000;
// Pieces and gaps of a split transmission.
constexpr int MaxPieceBytes = 4;
constexpr int MaxGapMs = 5;
// How long AT+CFUN=1,1 leaves the modem deaf before its time scale, and what it says
// when it is back at a fixed interface speed.
constexpr int RestartMs = 3000;
constexpr const char* StartedAgain = "\r\n^SYSSTART\r\n";
}  // namespace

struct VirtualModem::Impl {
    explicit Impl(VirtualModemOptions options) : Options(std::move(options)), Deafness(Options.Real) {}

    VirtualModemOptions Options;
    std::string Device;
    std::string Link;
    std::unique_ptr<ComClaim> Claim;
    std::unique_ptr<ModemLine> Line;
    std::unique_ptr<ModemSession> Session;  // the server thread's alone once it runs
    std::mt19937 Timing;
    std::thread Server;
    TranscriptLog Log;
    DeafSpells Deafness;

    mutable std::mutex Lock;
    mutable std::condition_variable Changed;
    ModemSettings Settings;
    ModemSettings Stored;
    SimCard Card;
    int Lines = 0;
    int Answered = 0;
    size_t ReceivedCount = 0;
    bool HungUp = false;
    CallPhase Phase = CallPhase::OnHook;
    int Station = 0;
    std::chrono::steady_clock::time_point Begin = std::chrono::steady_clock::now();

    void Serve();
    uint64_t NowMs() const;
    int WaitMs() const;
    bool SendAll(const std::vector<Transmission>& out);
    // AT+CFUN=1,1: deaf for a moment, then as after a power cut; false when stopped.
    bool Restart();
    std::string StateJson() const;
    bool Send(const Transmission& t);
    // The lines a started modem sends once it is ready; none under autobaud (MC55 AT
    // Command Set, ^SYSSTART), and none from a silent modem.
    bool SendStartLines();
    // Called before a reply goes out, so whoever has read a reply sees its effect, and
    // again after it, so that waiting for command lines means waiting for their replies.
    void Publish(bool answered);
    void CountReceived(size_t count);
    // The call's news; published first (or anyway, with publish: news without words, as
    // the end of the rings, changes the stage too), so whoever has read a CONNECT finds
    // the modem online. False when stopped.
    bool SendNews(bool publish);
    void RemoveOwnLink();
};

void VirtualModem::Impl::Publish(bool answered) {
    {
        std::lock_guard guard(Lock);
        Settings = Session->Settings();
        Stored = Session->StoredProfile();
        Card = Session->Card();
        Lines = Session->CommandLines();
        if (answered) Answered = Lines;
        Phase = Session->Phase();
    }
    if (Options.Calls) Options.Calls->Update(Station, Session->Reachable(), Session->Settings().Speed);
    if (Options.State) Options.State->Put(Options.ComNumber, StateJson());
    Changed.notify_all();
}

std::string VirtualModem::Impl::StateJson() const {
    return "{\"com\":" + std::to_string(Options.ComNumber) + ",\"number\":\"" + Options.Number +
           "\",\"call\":\"" + std::string(gCallPhaseName(Session->Phase())) +
           "\",\"rings\":" + std::to_string(Session->Rings()) +
           ",\"speed\":" + std::to_string(Session->Settings().Speed) +
           ",\"cause\":" + std::to_string(Session->LastCause()) + "}";
}

uint64_t VirtualModem::Impl::NowMs() const {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Begin).count());
}

int VirtualModem::Impl::WaitMs() const {
    int wait = Session->Flooding() ? FloodTickMs : IdleWaitMs;
    const uint64_t due = Session->CallDueMs();
    if (due != CallSession::Never) {
        const uint64_t now = NowMs();
        wait = static_cast<int>(std::min<uint64_t>(wait, due > now ? due - now : 0));
    }
    return wait;
}

bool VirtualModem::Impl::SendAll(const std::vector<Transmission>& out) {
    for (const auto& t : out)
        if (!Send(t)) return false;
    return true;
}

bool VirtualModem::Impl::Restart() {
    if (!Line->Pause(RestartMs / static_cast<int>(Options.TimeScale))) return false;
    // What came meanwhile is in the transcript, but the modem never heard it.
    for (;;) {
        std::string lost;
        const auto got = Line->Read(lost, 0);
        if (got == ModemLine::ReadResult::Woken) return false;
        if (got == ModemLine::ReadResult::Idle) break;
        if (got == ModemLine::ReadResult::Data) {
            Log.Add(TranscriptDirection::Received, Session->Settings().Speed, Line->LineSpeed(), lost);
            CountReceived(lost.size());
        }
    }
    Session->Restart();
    Publish(false);
    const uint32_t speed = Session->Settings().Speed;
    return speed == 0 || Send({StartedAgain, speed, false});
}

bool VirtualModem::Impl::SendNews(bool publish) {
    const auto news = Session->CallUpdate(NowMs());
    if (publish || !news.empty()) Publish(false);
    return SendAll(news);
}

void VirtualModem::Impl::CountReceived(size_t count) {
    {
        std::lock_guard guard(Lock);
        ReceivedCount += count;
    }
    Changed.notify_all();
}

void VirtualModem::Impl::RemoveOwnLink() {
    std::error_code ec;
    if (!Link.empty() && fs::is_symlink(Link, ec) && fs::read_symlink(Link, ec) == Device)
        fs::remove(Link, ec);
}

bool VirtualModem::Impl::SendStartLines() {
    const ModemSettings& s = Session->Settings();
    if (s.Speed == 0 || Options.Silent) return true;
    for (const std::string& text : Options.Real.StartLines)
        if (!Send({gFormatUnaskedText(text, s), s.Speed, false})) return false;
    return true;
}

bool VirtualModem::Impl::Send(const Transmission& t) {
    if (t.IsResult && Options.DelayMs > 0 && !Line->Pause(static_cast<int>(Options.DelayMs)))
        return false;
    if (t.HoldMs > 0 && !Line->Pause(static_cast<int>(t.HoldMs))) return false;
    std::uniform_int_distribution<size_t> pieceSize(1, MaxPieceBytes);
    std::uniform_int_distribution<int> gap(1, MaxGapMs);
    for (size_t done = 0; done < t.Bytes.size();) {
        const size_t n = Options.Split ? std::min(pieceSize(Timing), t.Bytes.size() - done)
                                       : t.Bytes.size();
        std::string piece = t.Bytes.substr(done, n);
        if (Options.Split && done > 0 && !Line->Pause(gap(Timing))) return false;
        // Noted first, so whoever has read the bytes finds them in the transcript.
        Log.Add(TranscriptDirection::Sent, t.Speed, Line->LineSpeed(), piece);
        if (!Line->Write(piece)) return false;
        done += n;
    }
    return true;
}

void VirtualModem::Impl::Serve() {
    for (;;) {
        std::string received;
        const auto got = Line->Read(received, Deafness.WaitMs(WaitMs()));
        if (got == ModemLine::ReadResult::Woken) return;
        if (Deafness.TakeStarted() && !SendStartLines()) return;
        if (got == ModemLine::ReadResult::Data) {
            // The other side's speed decides whether these bytes mean anything.
            const uint32_t lineSpeed = Line->LineSpeed();
            Log.Add(TranscriptDirection::Received, Session->Settings().Speed, lineSpeed, received);
            CountReceived(received.size());
            Deafness.Heard();
            if (Deafness.Deaf()) continue;
            // What the network told before these bytes came goes out before their answer,
            // so that AT+CEER after a NO CARRIER knows that call's end.
            if (!SendNews(false)) return;
            const uint32_t speedBefore = Session->Settings().Speed;
            const auto out = Session->Receive(received, lineSpeed, NowMs());
            const bool profileStored = Session->TakeProfileStored();
            if ((Session->TakeCardChanged() || profileStored) && !Options.ProfileFile.empty())
                gSaveProfile(Options.ProfileFile, Session->StoredProfile(), Session->Card());
            Publish(false);
            // Counted from before the result goes out, so that the other side, which waits
            // from its arrival, never finds the modem still deaf.
            if (Session->Settings().Speed != speedBefore) Deafness.SpeedChanged();
            if (!SendAll(out)) return;
            if (Session->HangUpNow()) {
                // The last reply reaches the other side before the line goes.
                if (!Line->Drain(HangUpDrainMs)) return;
                Line->Close();
                RemoveOwnLink();
                {
                    std::lock_guard guard(Lock);
                    HungUp = true;
                }
                Publish(true);
                return;
            }
            if (Session->TakeRestart() && !Restart()) return;
            Publish(true);
        }
        // An idle line with no news changes nothing.
        if (!SendNews(got != ModemLine::ReadResult::Idle)) return;
        if (Session->Flooding()) {
            const uint32_t speed = Session->Settings().Speed ? Session->Settings().Speed : 115200;
            // About as many characters as the line carries in one tick (10 bits each).
            const size_t count = std::max<size_t>(1, speed / 10 * FloodTickMs / 1000);
            if (!Send({Session->FloodBytes(count), Session->Settings().Speed, false})) return;
        }
    }
}

VirtualModem::VirtualModem(VirtualModemOptions options)
    : P(std::make_unique<Impl>(std::move(options))) {}

VirtualModem::~VirtualModem() { Stop(); }

std::string VirtualModem::Start() {
    if (P->Line) return "already started";
    auto& o = P->Options;
    if (o.ComNumber < 1) return "the COM number must be 1 or more";
    // Its own number and IMEI unless given, so that the modems of one process tell apart.
    if (o.Number.empty()) o.Number = gNumberFor(o.ComNumber);
    if (o.Imei.empty()) o.Imei = gImeiFor(o.ComNumber);
    if (!gIsInterfaceSpeed(o.Speed)) return "unsupported interface speed " + std::to_string(o.Speed);
    const fs::path folder = o.PortsFolder.empty() ? gPortsFolder() : o.PortsFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return "cannot create " + folder.string() + ": " + ec.message();

    std::string error;
    // Claimed before the terminal is opened: the new terminal may well get the number
    // that a leftover link leads to.
    auto claim = ComClaim::Take(folder.string(), o.ComNumber, error);
    if (!claim) return error;
    error = P->Log.Open(o.TranscriptFile, o.KeepTranscript);
    if (!error.empty()) return error;
    auto line = gOpenModemLine(error);
    if (!line) return error;

    const fs::path link = folder / ("COM" + std::to_string(o.ComNumber));
    if (fs::is_symlink(link, ec)) {
        // With the number unclaimed, a link to a pseudo-terminal was left by a modem that is
        // gone, whoever holds that terminal now. A link to anything else is someone's own.
        const fs::path target = fs::canonical(link, ec);
        if (!ec && target.parent_path() != "/dev/pts")
            return link.string() + " already leads to " + fs::read_symlink(link, ec).string();
        fs::remove(link, ec);
    }
    fs::create_symlink(line->DevicePath(), link, ec);
    if (ec) return "cannot create " + link.string() + ": " + ec.message();

    ModemSettings settings = gFactorySettings(o.Speed);
    // A modem powers up with its stored profile.
    if (!o.ProfileFile.empty())
        if (auto stored = gLoadProfile(o.ProfileFile, settings)) settings = *stored;
    SessionRules rules{{o}, {o}, gInsertCard(o.Sim, o.Pin)};
    rules.Card.LockFixed = o.LockFixed;
    // The card keeps its lock and tries over a power cut, as the profile keeps the settings.
    if (!o.ProfileFile.empty()) gLoadCard(o.ProfileFile, rules.Card);
    const uint32_t seed = o.Seed ? *o.Seed : std::random_device{}();
    P->Session = std::make_unique<ModemSession>(rules, settings, settings, seed);
    P->Timing.seed(seed + 1);
    P->Device = line->DevicePath();
    P->Link = link.string();
    P->Claim = std::move(claim);
    P->Line = std::move(line);
    if (o.Calls) {
        P->Station = o.Calls->Join(o, [impl = P.get()] { impl->Line->Poke(); });
        P->Session->JoinNetwork(o.Calls.get(), P->Station, o.TimeScale);
    }
    P->Publish(true);
    P->Server = std::thread([impl = P.get()] { impl->Serve(); });
    return {};
}

void VirtualModem::Stop() {
    if (!P->Line) return;
    P->Line->Wake();
    if (P->Server.joinable()) P->Server.join();
    if (P->Options.Calls) P->Options.Calls->Leave(P->Station);
    P->Line->Close();
    P->RemoveOwnLink();
    P->Claim.reset();
}

int VirtualModem::ComNumber() const { return P->Options.ComNumber; }
std::string VirtualModem::DevicePath() const { return P->Device; }
std::string VirtualModem::LinkPath() const { return P->Link; }

ModemSettings VirtualModem::Settings() const {
    std::lock_guard guard(P->Lock);
    return P->Settings;
}

ModemSettings VirtualModem::StoredProfile() const {
    std::lock_guard guard(P->Lock);
    return P->Stored;
}

SimCard VirtualModem::Card() const {
    std::lock_guard guard(P->Lock);
    return P->Card;
}

int VirtualModem::CommandLines() const {
    std::lock_guard guard(P->Lock);
    return P->Lines;
}

bool VirtualModem::HungUp() const {
    std::lock_guard guard(P->Lock);
    return P->HungUp;
}

std::string VirtualModem::Number() const { return P->Options.Number; }

CallPhase VirtualModem::Phase() const {
    std::lock_guard guard(P->Lock);
    return P->Phase;
}

std::vector<TranscriptEntry> VirtualModem::Transcript() const { return P->Log.Entries(); }
std::string VirtualModem::ReceivedBytes() const { return P->Log.Bytes(TranscriptDirection::Received); }
std::string VirtualModem::SentBytes() const { return P->Log.Bytes(TranscriptDirection::Sent); }

bool VirtualModem::WaitForCommandLines(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(P->Lock);
    return P->Changed.wait_for(guard, timeout, [&] { return P->Answered >= count || P->HungUp; });
}

bool VirtualModem::WaitForReceivedBytes(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(P->Lock);
    return P->Changed.wait_for(guard, timeout, [&] { return P->ReceivedCount >= count || P->HungUp; });
}

bool VirtualModem::WaitForPhase(CallPhase phase, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(P->Lock);
    return P->Changed.wait_for(guard, timeout, [&] { return P->Phase == phase; });
}
