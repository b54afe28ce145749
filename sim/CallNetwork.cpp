#include "sim/CallNetwork.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// How long the thread sleeps when no call needs it, unless something changes.
constexpr auto IdleWait = std::chrono::hours(1);

}  // namespace

CallNetwork::CallNetwork(uint32_t seed) : Random(seed), Timer([this] { Run(); }) {}

CallNetwork::~CallNetwork() {
    {
        std::lock_guard guard(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    Timer.join();
}

int CallNetwork::Join(StationOptions options, std::function<void()> wake) {
    std::lock_guard guard(Lock);
    const int id = NextId++;
    Station& station = Stations[id];
    station.Options = std::move(options);
    station.Wake = std::move(wake);
    return id;
}

void CallNetwork::Leave(int station) {
    HangUp(station);
    std::lock_guard guard(Lock);
    Stations.erase(station);
}

void CallNetwork::Update(int station, bool reachable, uint32_t interfaceSpeed) {
    std::lock_guard guard(Lock);
    Station& s = Stations.at(station);
    s.Reachable = reachable;
    s.Speed = interfaceSpeed;
}

namespace {

bool Carries(const StationOptions& station, int bearerService) {
    const auto& carried = station.NetworkBearers;
    return carried.empty() || std::find(carried.begin(), carried.end(), bearerService) != carried.end();
}

}  // namespace

std::optional<DialAttempt> CallNetwork::Refusal(int caller, int bearerService, const Station* callee,
                                                int calleeId) const {
    const Station& from = Stations.at(caller);
    // Unregistered, the modem reaches no network that could give a reason.
    if (from.InCall || !from.Reachable) return DialAttempt{};
    // The caller's own network checks its subscription and its bearer before routing.
    if (from.Options.NoDataService) return DialAttempt{DialResult::NoCarrier, ReleaseCause::BearerNotAuthorized};
    if (!Carries(from.Options, bearerService)) return DialAttempt{DialResult::NoCarrier, ReleaseCause::BearerNotImplemented};
    if (!callee) return DialAttempt{DialResult::NoCarrier, ReleaseCause::UnassignedNumber};
    if (!callee->Reachable) return DialAttempt{DialResult::NoCarrier, ReleaseCause::NoUserResponding};
    // A modem calling its own number finds it busy with that very call.
    if (calleeId == caller || callee->InCall || callee->Options.AlwaysBusy)
        return DialAttempt{DialResult::Busy, ReleaseCause::UserBusy};
    if (!Carries(callee->Options, bearerService)) return DialAttempt{DialResult::NoCarrier, ReleaseCause::BearerNotImplemented};
    // A tariff that turns data calls into voice calls rings all the same.
    if (callee->Options.NoDataService && !callee->Options.DataAsVoice)
        return DialAttempt{DialResult::NoCarrier, ReleaseCause::IncompatibleDestination};
    return std::nullopt;
}

DialAttempt CallNetwork::Dial(int station, std::string_view number, int waitMs, int bearerService) {
    std::lock_guard guard(Lock);
    Station& caller = Stations.at(station);
    const std::string wanted = gDialledNumber(number);
    const auto callee = std::find_if(Stations.begin(), Stations.end(), [&](const auto& s) {
        return !wanted.empty() && gDialledNumber(s.second.Options.Number) == wanted;
    });
    const bool found = callee != Stations.end();
    if (auto refused = Refusal(station, bearerService, found ? &callee->second : nullptr, found ? callee->first : 0))
        return *refused;
    const auto now = Clock::now();
    auto call = std::make_unique<Call>();
    call->Caller = station;
    call->Callee = callee->first;
    call->Voice = callee->second.Options.DataAsVoice;
    call->Bearer = std::min(caller.Options.Bearer, callee->second.Options.Bearer);
    call->CorruptRate = std::max(caller.Options.CorruptRate, callee->second.Options.CorruptRate);
    call->NextRing = now + std::chrono::milliseconds(SetupMs / callee->second.Options.TimeScale);
    call->GiveUp = now + std::chrono::milliseconds(waitMs / caller.Options.TimeScale);
    caller.InCall = callee->second.InCall = call.get();
    Calls.push_back(std::move(call));
    Changed.notify_all();
    return {DialResult::Ringing};
}

bool CallNetwork::Answer(int station) {
    std::lock_guard guard(Lock);
    Call* call = Stations.at(station).InCall;
    if (!call || call->Callee != station || call->Connected || call->Voice) return false;
    call->Connected = true;
    uint32_t drop = 0;
    for (const int side : {call->Caller, call->Callee}) {
        const uint32_t own = Stations.at(side).Options.DropCallAfterMs;
        if (own > 0 && (drop == 0 || own < drop)) drop = own;
    }
    if (drop > 0) call->DropAt = Clock::now() + std::chrono::milliseconds(drop);
    for (const int side : {call->Caller, call->Callee})
        Post(side, {.Kind = CallEventKind::Connected, .Bearer = call->Bearer});
    Changed.notify_all();
    return true;
}

void CallNetwork::HangUp(int station) {
    std::lock_guard guard(Lock);
    const auto found = Stations.find(station);
    if (found == Stations.end() || !found->second.InCall) return;
    Call& call = *found->second.InCall;
    const bool caller = call.Caller == station;
    // Before the answer the callee's rings just stop; a refused call reaches the caller
    // as the end of the line.
    const CallEnd other = call.Connected || !caller ? CallEnd::NoCarrier : CallEnd::Silent;
    const int cause = call.Connected || caller ? ReleaseCause::NormalClearing : ReleaseCause::CallRejected;
    End(call, caller ? CallEnd::Silent : other, caller ? other : CallEnd::Silent, cause);
    // What was on its way to it belongs to the call it has just ended.
    found->second.Events.clear();
    Changed.notify_all();
}

void CallNetwork::Send(int station, std::string_view bytes) {
    std::lock_guard guard(Lock);
    Call* call = Stations.at(station).InCall;
    if (!call || !call->Connected || bytes.empty()) return;
    Flow& flow = call->Flows[call->Caller == station ? 0 : 1];
    if (flow.Queue.empty()) {
        flow.Since = Clock::now();
        flow.Carried = 0;
    }
    flow.Queue.append(bytes);
    Changed.notify_all();
}

std::vector<CallEvent> CallNetwork::TakeEvents(int station) {
    std::lock_guard guard(Lock);
    return std::exchange(Stations.at(station).Events, {});
}

void CallNetwork::Post(int station, CallEvent event) {
    Station& s = Stations.at(station);
    if (event.Kind == CallEventKind::Data && !s.Events.empty() && s.Events.back().Kind == CallEventKind::Data)
        s.Events.back().Bytes += event.Bytes;
    else
        s.Events.push_back(std::move(event));
    if (s.Wake) s.Wake();
}

void CallNetwork::End(Call& call, CallEnd callerHears, CallEnd calleeHears, int cause) {
    call.Over = true;
    Stations.at(call.Caller).InCall = nullptr;
    Stations.at(call.Callee).InCall = nullptr;
    Post(call.Caller, {.Kind = CallEventKind::Ended, .End = callerHears, .Cause = cause});
    Post(call.Callee, {.Kind = CallEventKind::Ended, .End = calleeHears, .Cause = cause, .Voice = call.Voice});
}

double CallNetwork::BytesPerSecond(const Call& call) const {
    // The data channel carries eight bits a byte; each interface ten (start, eight, stop).
    double rate = call.Bearer / 8.0;
    for (const int side : {call.Caller, call.Callee}) {
        const uint32_t speed = Stations.at(side).Speed;
        if (speed > 0) rate = std::min(rate, speed / 10.0);
    }
    return rate;
}

void CallNetwork::Carry(Call& call, int direction, Clock::time_point now, Clock::time_point& next) {
    Flow& flow = call.Flows[direction];
    if (flow.Queue.empty()) return;
    const double rate = BytesPerSecond(call);
    const double elapsed = std::chrono::duration<double>(now - flow.Since).count();
    const auto due = static_cast<uint64_t>(elapsed * rate);
    const size_t count = std::min<uint64_t>(due > flow.Carried ? due - flow.Carried : 0, flow.Queue.size());
    if (count > 0) {
        std::string bytes = flow.Queue.substr(0, count);
        flow.Queue.erase(0, count);
        flow.Carried += count;
        if (call.CorruptRate > 0) {
            std::bernoulli_distribution flip(call.CorruptRate);
            for (char& b : bytes)
                for (int bit = 0; bit < 8; ++bit)
                    if (flip(Random)) b = static_cast<char>(b ^ (1 << bit));
        }
        Post(direction == 0 ? call.Callee : call.Caller, {.Kind = CallEventKind::Data, .Bytes = std::move(bytes)});
    }
    if (!flow.Queue.empty()) {
        const auto at = flow.Since + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>((flow.Carried + 1) / rate));
        next = std::min(next, at);
    }
}

CallNetwork::Clock::time_point CallNetwork::Serve(Call& call, Clock::time_point now) {
    if (!call.Connected) {
        if (now >= call.GiveUp) {
            End(call, CallEnd::NoCarrier, CallEnd::Silent, ReleaseCause::NoAnswer);
            return now;
        }
        if (now >= call.NextRing) {
            Post(call.Callee, {.Kind = CallEventKind::Ring, .Voice = call.Voice});
            call.NextRing += std::chrono::milliseconds(RingIntervalMs / Stations.at(call.Callee).Options.TimeScale);
        }
        return std::min(call.NextRing, call.GiveUp);
    }
    if (now >= call.DropAt) {
        End(call, CallEnd::NoCarrier, CallEnd::NoCarrier, ReleaseCause::TemporaryFailure);
        return now;
    }
    Clock::time_point next = call.DropAt;
    Carry(call, 0, now, next);
    Carry(call, 1, now, next);
    return next;
}

void CallNetwork::Run() {
    std::unique_lock guard(Lock);
    while (!Stopping) {
        const auto now = Clock::now();
        auto next = now + IdleWait;
        for (const auto& call : Calls)
            if (!call->Over) next = std::min(next, Serve(*call, now));
        std::erase_if(Calls, [](const auto& call) { return call->Over; });
        Changed.wait_until(guard, next);
    }
}

std::string gNumberFor(int comNumber) {
    std::string digits = std::to_string(comNumber);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return "+0" + digits;
}

std::string gDialledNumber(std::string_view text) {
    std::string number;
    for (const char c : text) {
        const bool dialled = std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#';
        if (dialled || (c == '+' && number.empty())) number += c;
    }
    return number;
}
