#pragma once
// The GSM network of one kestrelix-modem process: every modem joins it with its number
// and can call every other. One thread keeps the call timings (the rings, the caller's
// wait for the answer, a dropped call) and carries a call's bytes at the bearer's rate;
// what happens to a modem waits in its queue of events, and its wake function tells its
// serving thread to come and take them.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A modem's place on the network; the virtual modem's options hold these, so each
// default is written here alone.
struct StationOptions {
    std::string Number;          // the virtual modem gives gNumberFor(its COM number) when empty
    bool AlwaysBusy = false;     // callers hear BUSY, as if it were in another call
    uint32_t Bearer = 9600;      // bit/s of a call's data channel; a call takes the lower one
    double CorruptRate = 0;      // bit errors per bit of the bytes it receives
    uint32_t DropCallAfterMs = 0;  // the network drops its calls this long after CONNECT; 0 never
    uint32_t TimeScale = 1;      // its rings, waits, guard times and restarts come this many times faster
    bool NoDataService = false;  // its SIM card's tariff has no data calls (CSD)
    bool DataAsVoice = false;    // data calls to it arrive as voice calls, as on a single-number tariff
    std::vector<int> NetworkBearers = {};  // the +CBST speeds its network carries; empty: every one
};

enum class CallEventKind { Ring, Connected, Ended, Data };
enum class CallEnd { Silent, NoCarrier, Busy };

// Why the network released a call: the reasons of 3GPP TS 24.008, table 10.5.123, which
// the modems tell as location 8 (+CAUSE: 8:17, +CEER: 8,17,0). Those of the description
// of the modem's network (kestrelix-modem(1)); 0 is none.
namespace ReleaseCause {
inline constexpr int None = 0;
inline constexpr int UnassignedNumber = 1;
inline constexpr int NormalClearing = 16;
inline constexpr int UserBusy = 17;
inline constexpr int NoUserResponding = 18;
inline constexpr int NoAnswer = 19;
inline constexpr int CallRejected = 21;
inline constexpr int TemporaryFailure = 41;
inline constexpr int BearerNotAuthorized = 57;
inline constexpr int BearerNotImplemented = 65;
inline constexpr int IncompatibleDestination = 88;
}  // namespace ReleaseCause

struct CallEvent {
    CallEventKind Kind = CallEventKind::Ring;
    CallEnd End = CallEnd::Silent;  // Ended: what the modem says
    uint32_t Bearer = 0;            // Connected: the call's rate
    std::string Bytes = {};         // Data
    int Cause = ReleaseCause::None; // Ended: why
    bool Voice = false;             // Ring: the call arrives as a voice call
};

enum class DialResult { Ringing, Busy, NoCarrier };

struct DialAttempt {
    DialResult Result = DialResult::NoCarrier;
    int Cause = ReleaseCause::None;  // why it did not ring
};

class CallNetwork {
public:
    // The rhythm of a GSM network, before a station's time scale: the first ring comes
    // after the call is set up, then one ring each interval.
    static constexpr int SetupMs = 2000;
    static constexpr int RingIntervalMs = 5000;

    explicit CallNetwork(uint32_t seed = std::random_device{}());
    ~CallNetwork();
    CallNetwork(const CallNetwork&) = delete;
    CallNetwork& operator=(const CallNetwork&) = delete;

    // A station for a modem; wake may be called from any thread. Returns its id.
    int Join(StationOptions options, std::function<void()> wake);
    // Ends its call, as a switched-off modem's.
    void Leave(int station);
    // Whether it can make and take calls now (a ready SIM card, registered), and its
    // interface speed, which the call's bytes cannot outrun; 0 is autobaud.
    void Update(int station, bool reachable, uint32_t interfaceSpeed);

    // A data call to number with a +CBST bearer, given up after waitMs without an answer.
    DialAttempt Dial(int station, std::string_view number, int waitMs, int bearerService);
    // Takes the data call that rings it; false when none does, or a voice call.
    bool Answer(int station);
    // Ends its call, whatever its stage, and drops the events still waiting for it; the
    // other side hears NO CARRIER once connected.
    void HangUp(int station);
    // Bytes to the other side of its connected call; nothing without one.
    void Send(int station, std::string_view bytes);
    std::vector<CallEvent> TakeEvents(int station);

private:
    using Clock = std::chrono::steady_clock;
    struct Call;
    struct Station {
        StationOptions Options;
        std::function<void()> Wake;
        bool Reachable = false;  // until its modem tells
        uint32_t Speed = 0;
        std::vector<CallEvent> Events;
        Call* InCall = nullptr;
    };
    // One direction of a connected call.
    struct Flow {
        std::string Queue;
        Clock::time_point Since;  // when the queue last began to fill
        uint64_t Carried = 0;     // bytes carried since then
    };
    struct Call {
        int Caller = 0;
        int Callee = 0;
        bool Connected = false;
        bool Voice = false;  // it reaches the callee as a voice call
        bool Over = false;  // ended: the thread lets it go
        uint32_t Bearer = 0;
        double CorruptRate = 0;
        Clock::time_point NextRing;
        Clock::time_point GiveUp;
        Clock::time_point DropAt = Clock::time_point::max();
        Flow Flows[2];  // caller to callee, callee to caller
    };

    void Run();
    // Handles what is due in call and tells when it next needs the thread.
    Clock::time_point Serve(Call& call, Clock::time_point now);
    void Carry(Call& call, int direction, Clock::time_point now, Clock::time_point& next);
    void Post(int station, CallEvent event);
    void End(Call& call, CallEnd callerHears, CallEnd calleeHears, int cause);
    // Why a data call from caller with bearerService cannot ring: busy, or a cause of
    // no carrier; nothing when it can.
    std::optional<DialAttempt> Refusal(int caller, int bearerService, const Station* callee, int calleeId) const;
    double BytesPerSecond(const Call& call) const;

    std::mutex Lock;
    std::condition_variable Changed;
    std::map<int, Station> Stations;
    std::vector<std::unique_ptr<Call>> Calls;
    int NextId = 1;
    bool Stopping = false;
    std::mt19937 Random;
    std::thread Timer;
};

// A number no subscriber can have, made from a COM number: "+0" and the COM number in at
// least three digits. No country code begins with 0, so no network routes it.
std::string gNumberFor(int comNumber);

// The digits (and a leading '+') of a dialled number, without the spaces, dashes,
// brackets and tone or pulse letters people put in.
std::string gDialledNumber(std::string_view text);
