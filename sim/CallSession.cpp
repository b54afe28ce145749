#include "sim/CallSession.h"

#include <utility>

#include "sim/CallNetwork.h"
#include "sim/RealBehaviour.h"

namespace {
// The location of the reasons of 3GPP TS 24.008 in +CAUSE and +CEER (MC55 AT Command Set,
// AT+CEER): "GSM cause for L3 Call Control".
constexpr const char* CallControl = "8";
}  // namespace

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
    // Hung up by the modem itself, the call ends normally; the network tells it no more.
    if (Stage != CallPhase::OnHook) Ended(ReleaseCause::NormalClearing, VoiceRinging && Stage == CallPhase::Ringing);
    Stage = CallPhase::OnHook;
    Pluses = 0;
    Held.clear();
}

void CallSession::Ended(int cause, bool voice) {
    Cause = cause;
    CauseOfVoice = voice;
}

void CallSession::Reset() {
    Hangup();
    Ended(ReleaseCause::None, false);
}

std::string CallSession::CauseText(const ModemSettings& s) const {
    if (s.CauseReport % 2 == 0 || Cause == ReleaseCause::None) return {};
    return std::string("+CAUSE: ") + CallControl + ":" + std::to_string(Cause);
}

std::string CallSession::CauseLine(const ModemSettings& s) const {
    const std::string text = CauseText(s);
    return text.empty() ? text : gFormatUnaskedText(text, s);
}

std::string CallSession::CeerLine(const AtRules& rules) const {
    if (Cause == ReleaseCause::None || (!CauseOfVoice && !rules.CeerForData)) return "+CEER: 0,0,0";
    return std::string("+CEER: ") + CallControl + "," + std::to_string(Cause) + ",0";
}

std::string CallSession::RingText(bool voice, const ModemSettings& s) const {
    if (!s.RingReport) return gFormatResult(ResultRing, s);
    // 27.007 +CRC: a non-transparent asynchronous data call, or a voice call.
    return gFormatResult({voice ? "+CRING: VOICE" : "+CRING: REL ASYNC", ResultRing.Numeric}, s);
}

void CallSession::Command(AtOutcome& outcome, const ModemSettings& s, const AtRules& rules, uint64_t nowMs) {
    if (outcome.Call == CallAction::ReportCause) outcome.Information.push_back(CeerLine(rules));
    outcome.Result = Act(outcome, s, nowMs);
    outcome.Pending = !outcome.Result;
}

std::optional<ResultCode> CallSession::Act(AtOutcome& outcome, const ModemSettings& s, uint64_t nowMs) {
    switch (outcome.Call) {
        case CallAction::Dial: {
            if (Stage != CallPhase::OnHook) return ResultError;
            if (!Network) return ResultNoCarrier;
            const DialAttempt attempt = Network->Dial(Station, outcome.Number, s.CarrierWait * 1000, s.BearerService);
            if (attempt.Result == DialResult::Ringing) {
                Stage = CallPhase::Dialing;
                return std::nullopt;
            }
            Ended(attempt.Cause, false);
            if (const std::string cause = CauseText(s); !cause.empty()) outcome.Information.push_back(cause);
            return attempt.Result == DialResult::Busy ? gBusyCode(s.ResultSet) : ResultNoCarrier;
        }
        case CallAction::Answer:
            // A data modem cannot take a call that comes as a voice call.
            if (Stage == CallPhase::Ringing && !VoiceRinging && Network->Answer(Station)) return std::nullopt;
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
        case CallAction::ReportCause:
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
                    VoiceRinging = event.Voice;
                }
                if (Stage != CallPhase::Ringing) break;
                ++RingCount;
                out += RingText(event.Voice, s);
                // S0 answers data calls only.
                if (!event.Voice && s.AutoAnswer > 0 && RingCount >= s.AutoAnswer) Network->Answer(Station);
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
                Ended(event.Cause, event.Voice);
                if (event.End == CallEnd::NoCarrier) out += CauseLine(s) + gFormatResult(ResultNoCarrier, s);
                if (event.End == CallEnd::Busy) out += CauseLine(s) + gFormatResult(gBusyCode(s.ResultSet), s);
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
