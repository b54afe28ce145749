#include "sim/ModemSession.h"

#include <algorithm>
#include <utility>

ModemSession::ModemSession(const SessionRules& rules, ModemSettings settings, ModemSettings stored,
                           uint32_t seed)
    : Rules(rules), Current(settings), Stored(stored), Random(seed), Walk(rules.Signal, seed + 2),
      Sim(Rules.Card) {}

bool ModemSession::Understands(uint32_t lineSpeed) const {
    return Current.Speed == 0 || Current.Speed == lineSpeed;
}

bool ModemSession::TakeProfileStored() {
    return std::exchange(ProfileStored, false);
}

bool ModemSession::TakeCardChanged() {
    return std::exchange(CardChanged, false);
}

void ModemSession::Emit(std::vector<Transmission>& out, std::string bytes, bool isResult) {
    if (Rules.Silent || bytes.empty()) return;
    if (!out.empty() && out.back().Speed == Current.Speed && out.back().IsResult == isResult) {
        out.back().Bytes += bytes;
        return;
    }
    out.push_back({std::move(bytes), Current.Speed, isResult});
}

bool ModemSession::TakeRestart() {
    return std::exchange(RestartAsked, false);
}

void ModemSession::JoinNetwork(CallNetwork* network, int station, uint32_t timeScale) {
    Call.Join(network, station, timeScale);
}

bool ModemSession::Reachable() const {
    const Registration r = Rules.Network;
    return !Rules.NoSim && Sim.State() == SimState::Ready &&
           (r == Registration::Home || r == Registration::Roaming);
}

void ModemSession::Restart() {
    Current = gStoredPart(Stored, gFactorySettings(Stored.Speed));
    Sim.PinGiven = false;
    Line.clear();
    LineOverflow = false;
    Call.Reset();
}

std::vector<Transmission> ModemSession::CallUpdate(uint64_t nowMs) {
    std::vector<Transmission> out;
    Emit(out, Call.Update(nowMs, Current), false);
    return out;
}

std::vector<Transmission> ModemSession::Receive(std::string_view bytes, uint32_t lineSpeed, uint64_t nowMs) {
    std::vector<Transmission> out;
    if (bytes.empty() || HangUpNow()) return out;
    if (Call.Phase() == CallPhase::Online) {
        Call.Data(bytes, nowMs, Current);
        return out;
    }
    // Any byte gives a dial up, but the line feed that some terminals put after the line end.
    if (Call.Phase() == CallPhase::Dialing) {
        if (bytes.find_first_not_of(static_cast<char>(Current.LineFeed)) != std::string_view::npos)
            Emit(out, Call.Abort(Current), true);
        return out;
    }
    // Rung as the other side first reaches the modem at its speed, so it is heard.
    if (Rules.Noise && !Rang && Understands(lineSpeed)) {
        Emit(out, gFormatUnsolicited("RING", 2, Current), false);
        Rang = true;
    }
    for (size_t i = 0; i < bytes.size() && !HangUpNow(); ++i) {
        // A UART at another speed makes noise of the bytes, and of the modem's line so far.
        if (!Understands(lineSpeed)) {
            Line.clear();
            LineOverflow = false;
            if (Rules.Mismatch == MismatchMode::Garbage) Emit(out, Garbage(std::max<size_t>(1, (bytes.size() - i) / 2)), false);
            break;
        }
        const char c = bytes[i];
        if (Current.Echo) Emit(out, std::string(1, c), false);
        if (static_cast<unsigned char>(c) == Current.LineEnd) {
            HandleLine(out, nowMs);
            // The rest belongs to the call that the line has just begun or resumed.
            if (Call.Phase() == CallPhase::Online || Call.Phase() == CallPhase::Dialing) {
                auto more = Receive(bytes.substr(i + 1), lineSpeed, nowMs);
                out.insert(out.end(), more.begin(), more.end());
                break;
            }
        } else if (Line.size() < MaxLine) {
            Line += c;
        } else {
            LineOverflow = true;
        }
    }
    return out;
}

void ModemSession::HandleLine(std::vector<Transmission>& out, uint64_t nowMs) {
    std::string_view body;
    const bool isCommand = gCommandBody(Line, body);
    const std::optional<std::string> scripted = isCommand ? gScriptedBytes(Rules.Answers, Line) : std::nullopt;
    if (scripted) {
        ++Lines;
        Emit(out, *scripted, true);
    } else if (isCommand) {
        ++Lines;
        ModemSettings next = Current;
        AtOutcome outcome;
        const SimCard before = Sim;
        if (LineOverflow)
            outcome.Ok = false;
        else
            outcome = gRunCommands(body, next, Stored, Sim, Rules);
        ActReal(body, outcome);
        CardChanged = CardChanged || Sim.Lock != before.Lock || Sim.Tries != before.Tries;
        if (outcome.Ok && outcome.Call != CallAction::None) {
            Call.Command(outcome, next, Rules, nowMs);
            RestartAsked = outcome.Call == CallAction::Restart;
        }
        ProfileStored = ProfileStored || outcome.ProfileStored;
        if (Rules.SignalWalk && outcome.SignalRead) Rules.Signal = Walk.Next();
        // The result goes out at the old interface speed; a new one holds from then on.
        const uint32_t newSpeed = next.Speed;
        next.Speed = Current.Speed;
        Current = next;
        const RealBehaviour& real = Rules.Real;
        const bool urcDue = !real.Urc.empty() && Lines % real.UrcEvery == 0;
        const std::string urc = urcDue ? gFormatUnaskedText(real.Urc, Current) : std::string();
        // A URC due while a command runs: a BREAK at once and the URC after the result
        // (TC35i AT Command Set, URCs), or the URC just before the result.
        if (urcDue) Emit(out, real.UrcBreak ? std::string(1, '\0') : urc, false);
        Emit(out, gFormatReply(outcome, Current), true);
        if (!out.empty() && real.AttachMs > 0 && gStartsAttach(body)) out.back().HoldMs = real.AttachMs;
        if (urcDue && real.UrcBreak) Emit(out, urc, false);
        Current.Speed = newSpeed;
    }
    Line.clear();
    LineOverflow = false;
}

void ModemSession::ActReal(std::string_view body, AtOutcome& outcome) const {
    const RealBehaviour& real = Rules.Real;
    const bool attach = gStartsAttach(body);
    // A failed attach still changes S0 (MC55 AT Command Set, ATS0).
    if (outcome.Ok && attach && real.AttachFails) {
        outcome.Ok = false;
        outcome.CmeError = real.Cmee > 0 ? 30 : -1;
    }
    if (real.Cmee < 0) return;
    // ATS0 is PIN-protected on the MC52i: without a card it names the card.
    if (!outcome.Ok && attach && Rules.NoSim) outcome.CmeError = 10;
    if (real.Cmee == 0) outcome.CmeError = -1;
    if (real.Cmee == 2 && outcome.CmeError >= 0) outcome.CmeText = gCmeText(outcome.CmeError);
}

std::string ModemSession::Garbage(size_t count) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    while (bytes.size() < std::min<size_t>(count, 6)) {
        const int b = byte(Random);
        if (b != '\r' && b != '\n' && b != Current.LineEnd) bytes += static_cast<char>(b);
    }
    return bytes;
}

std::string ModemSession::FloodBytes(size_t count) {
    std::uniform_int_distribution<int> letter(' ', '~');
    std::string bytes(count, ' ');
    for (auto& b : bytes) b = static_cast<char>(letter(Random));
    return bytes;
}
