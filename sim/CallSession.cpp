#include "sim/CallSession.h"

#include <utility>

#include "sim/CallNetwork.h"

std::string_view gCallPhaseName(CallPhase phase) {
    switch (phase) {
        case CallPhase::OnHook: return "on-hook";
        case CallPhase::Dialing: return "dialing";
        case CallPhase::Ringing: return "ringing";
        case CallPhase::Online: return "online";
        case CallPhase::Command: return "command";
    }
    return "on-hook";
}

void CallSession::Join(CallNetwork* network, int station, uint32_t timeScale) {
    Network = network;
    Station = station;
    TimeScale = timeScale > 0 ? timeScale : 1;
}

uint64_t CallSession::GuardMs(const ModemSettings& s) const {
    return static_cast<uint64_t>(s.EscapeGuard) * 20 / TimeScale;
}

void CallSession::Hangup() {
    if (Network) Network->HangUp(Station);
    Stage = CallPhase::OnHook;
    Pluses = 0;
    Held.clear();
}

void CallSession::Reset() { Hangup(); }

std::optional<ResultCode> CallSession::Command(CallAction action, std::string_view number, const ModemSettings& s,
                                               uint64_t nowMs) {
    switch (action) {
        case CallAction::Dial: {
            if (Stage != CallPhase::OnHook) return ResultError;
            if (!Network) return ResultNoCarrier;
            const DialResult result = Network->Dial(Station, number, s.CarrierWait * 1000);
            if (result == DialResult::Busy) return gBusyCode(s.ResultSet);
            if (result == DialResult::NoCarrier) return ResultNoCarrier;
            Stage = CallPhase::Dialing;
            return std::nullopt;
        }
        case CallAction::Answer:
            if (Stage == CallPhase::Ringing && Network->Answer(Station)) return std::nullopt;
            return ResultNoCarrier;
        case CallAction::Online:
            if (Stage != CallPhase::Command) return ResultNoCarrier;
            Stage = CallPhase::Online;
            LastByteMs = nowMs;
            Pluses = 0;
            return gConnectCode(s.ResultSet, Bearer).value_or(ResultConnect);
        case CallAction::HangUp:
        case CallAction::Restart:
            Hangup();
            return ResultOk;
        case CallAction::None:
            break;
    }
    return ResultOk;
}

void CallSession::Data(std::string_view bytes, uint64_t nowMs, const ModemSettings& s) {
    // An escape is "+++" with a guard time of silence before it and after it, its pluses
    // closer together than that; anything else is data, the pluses too.
    const uint64_t guard = GuardMs(s);
    for (const char c : bytes) {
        const bool quietBefore = nowMs - LastByteMs >= guard;
        if (c == '+' && Pluses > 0 && Pluses < 3 && !quietBefore)
            ++Pluses;
        else
            Pluses = c == '+' && quietBefore ? 1 : 0;
        LastByteMs = nowMs;
    }
    Network->Send(Station, bytes);
}

std::string CallSession::Abort(const ModemSettings& s) {
    Hangup();
    return gFormatResult(ResultNoCarrier, s);
}

std::string CallSession::Update(uint64_t nowMs, const ModemSettings& s) {
    std::string out;
    if (Stage == CallPhase::Online && Pluses == 3 && nowMs - LastByteMs >= GuardMs(s)) {
        Stage = CallPhase::Command;
        Pluses = 0;
        out += gFormatResult(ResultOk, s);
    }
    if (!Network) return out;
    if (Stage == CallPhase::Online) out += std::exchange(Held, {});
    for (auto& event : Network->TakeEvents(Station)) {
        switch (event.Kind) {
            case CallEventKind::Ring:
                if (Stage == CallPhase::OnHook) {
                    Stage = CallPhase::Ringing;
                    RingCount = 0;
                }
                if (Stage != CallPhase::Ringing) break;
                ++RingCount;
                out += gFormatResult(ResultRing, s);
                if (s.AutoAnswer > 0 && RingCount >= s.AutoAnswer) Network->Answer(Station);
                break;
            case CallEventKind::Connected:
                Stage = CallPhase::Online;
                Bearer = event.Bearer;
                LastByteMs = nowMs;
                Pluses = 0;
                out += gFormatResult(gConnectCode(s.ResultSet, Bearer).value_or(ResultConnect), s);
                break;
            case CallEventKind::Ended:
                if (Stage == CallPhase::OnHook) break;
                Stage = CallPhase::OnHook;
                Held.clear();
                if (event.End == CallEnd::NoCarrier) out += gFormatResult(ResultNoCarrier, s);
                if (event.End == CallEnd::Busy) out += gFormatResult(gBusyCode(s.ResultSet), s);
                break;
            case CallEventKind::Data:
                (Stage == CallPhase::Online ? out : Held) += event.Bytes;
                break;
        }
    }
    return out;
}

uint64_t CallSession::NextDueMs(const ModemSettings& s) const {
    return Stage == CallPhase::Online && Pluses == 3 ? LastByteMs + GuardMs(s) : Never;
}
