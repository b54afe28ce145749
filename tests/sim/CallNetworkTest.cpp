// The network of one kestrelix-modem process, driven over its ports as the utility drives
// them: COM1 calls COM2, each row a way a call goes, told by what each modem says, by
// the data that crosses and by the state file.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PtyPeer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempConfigHome.h"

using namespace std::chrono_literals;

namespace {

constexpr auto Ok = "\r\nOK\r\n";
constexpr auto Connect9600 = "\r\nCONNECT 9600\r\n";
constexpr auto NoCarrier = "\r\nNO CARRIER\r\n";
constexpr auto TwoRingsAndConnect = "\r\nRING\r\n\r\nRING\r\n\r\nCONNECT 9600\r\n";
constexpr auto Restart = "\r\n^SYSSTART\r\n";
// Call timings 100 times faster: a ring each 50 ms, S7 = 60 s gives up after 600 ms, and
// the S12 guard of +++ is 10 ms, which the test outwaits before each escape.
constexpr const char* TimeScale = "100";
constexpr auto Guard = 20ms;
constexpr size_t BlockBytes = 512;

// A command line to one modem and the end of its answer.
struct Step {
    std::string Line;
    std::string Until = Ok;
};

enum class Ending { HangUp, Dropped, NoCall };

struct CallCase {
    const char* Name;
    std::vector<std::string> CallerOptions;
    std::vector<std::string> CalleeOptions;
    std::vector<Step> CallerSetup;
    std::vector<Step> CalleeSetup;
    std::string CallerHears;  // its result for the dial
    Ending End = Ending::HangUp;
    std::string CalleeHears;  // connected: all it says up to CONNECT; else whether it rang
    std::string CalleeEnd = NoCarrier;
    bool Whole = true;        // the data come through unchanged
    uint32_t CalleeSpeed = 115200;
};

std::string Block(uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string block(BlockBytes, '\0');
    for (char& b : block) b = static_cast<char>(byte(random));
    return block;
}

// A field of COMn's line in the state file, without its quotes.
std::string StateOf(const std::string& file, int com, const std::string& field) {
    std::ifstream in(file);
    const std::string key = "{\"com\":" + std::to_string(com) + ",";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0) continue;
        size_t at = line.find("\"" + field + "\":");
        if (at == std::string::npos) return "none";
        at += field.size() + 3;
        if (line[at] == '"') return line.substr(at + 1, line.find('"', at + 1) - at - 1);
        return line.substr(at, line.find_first_of(",}", at) - at);
    }
    return "none";
}

// The stage of COMn's call in the state file.
std::string CallOf(const std::string& file, int com) { return StateOf(file, com, "call"); }

void Run(PtyPeer& peer, const std::vector<Step>& steps) {
    for (const auto& step : steps) {
        peer.Send(step.Line);
        const std::string got = peer.ReadUntil(step.Until);
        ASSERT_NE(got.find(step.Until), std::string::npos) << step.Line << " got " << got;
    }
}

void PlaceCall(const CallCase& c) {
    const TempConfigHome home;
    const std::string state = home.Path() + "/state.json";
    std::vector<std::string> args = {"--time-scale", TimeScale, "--state", state, "--com", "1"};
    args.insert(args.end(), c.CallerOptions.begin(), c.CallerOptions.end());
    args.insert(args.end(), {"--com", "2"});
    args.insert(args.end(), c.CalleeOptions.begin(), c.CalleeOptions.end());
    ChildProcess modems(KX_MODEM_PATH, args);
    ASSERT_TRUE(modems.WaitForOutput("COM2 /dev/pts/")) << modems.Stderr();
    PtyPeer caller(home.PortsFolder() + "/COM1");
    PtyPeer callee(home.PortsFolder() + "/COM2");
    ASSERT_TRUE(caller.SetSpeed(115200) && callee.SetSpeed(c.CalleeSpeed));
    Run(caller, c.CallerSetup);
    Run(callee, c.CalleeSetup);

    caller.Send("ATD+0002\r");
    EXPECT_EQ(caller.ReadUntil(c.CallerHears), "ATD+0002\r" + c.CallerHears);
    if (c.End == Ending::NoCall) {
        // Whatever it said comes before the answer to a probe.
        callee.Send("AT\r");
        const std::string said = callee.ReadUntil("AT\r\r\nOK\r\n");
        EXPECT_EQ(said.find("CONNECT"), std::string::npos) << said;
        if (c.CalleeHears.empty()) {
            EXPECT_EQ(said, "AT\r\r\nOK\r\n");
        } else {
            EXPECT_EQ(said.rfind(c.CalleeHears, 0), 0u) << said;
        }
        EXPECT_EQ(CallOf(state, 1), "on-hook");
        EXPECT_EQ(CallOf(state, 2), "on-hook");
        return;
    }
    EXPECT_EQ(callee.ReadUntil(c.CalleeHears), c.CalleeHears);
    EXPECT_EQ(CallOf(state, 1), "online");
    EXPECT_EQ(CallOf(state, 2), "online");

    if (c.End == Ending::Dropped) {
        EXPECT_EQ(caller.ReadUntil(NoCarrier), NoCarrier);
        EXPECT_EQ(callee.ReadUntil(c.CalleeEnd), c.CalleeEnd);
    } else {
        const std::string there = Block(1);
        const std::string back = Block(2);
        caller.Send(there);
        EXPECT_EQ(callee.ReadCount(there.size()) == there, c.Whole);
        callee.Send(back);
        EXPECT_EQ(caller.ReadCount(back.size()) == back, c.Whole);

        std::this_thread::sleep_for(Guard);  // the silence before +++ that the escape needs
        caller.Send("+++");
        EXPECT_EQ(caller.ReadUntil(Ok), Ok);
        EXPECT_EQ(CallOf(state, 1), "command");
        EXPECT_EQ(CallOf(state, 2), "online");
        caller.Send("ATO\r");
        EXPECT_EQ(caller.ReadUntil(c.CallerHears), "ATO\r" + c.CallerHears);
        EXPECT_EQ(CallOf(state, 1), "online");
        std::this_thread::sleep_for(Guard);
        caller.Send("+++");
        EXPECT_EQ(caller.ReadUntil(Ok), Ok);
        caller.Send("ATH\r");
        EXPECT_EQ(caller.ReadUntil(Ok), std::string("ATH\r") + Ok);
        // The pluses of both escapes crossed as data, as they do on a real link.
        const std::string end = callee.ReadUntil(c.CalleeEnd);
        EXPECT_TRUE(end.size() == 6 + c.CalleeEnd.size() && end.ends_with(c.CalleeEnd)) << end;
        if (c.Whole) {
            EXPECT_EQ(end, "++++++" + c.CalleeEnd);
        }
    }
    // Both are free for the next call.
    caller.Send("AT\r");
    EXPECT_EQ(caller.ReadUntil(Ok), std::string("AT\r") + Ok);
    EXPECT_EQ(CallOf(state, 1), "on-hook");
    EXPECT_EQ(CallOf(state, 2), "on-hook");
}

TEST(CallNetwork, EachWayACallGoes) {
    const std::vector<Step> answersAfterTwo = {{"ATS0=2\r"}};
    const CallCase cases[] = {
        {"answers after S0 rings", {}, {}, {}, answersAfterTwo, Connect9600, Ending::HangUp, TwoRingsAndConnect},
        {"the device's settings: numeric codes, CONNECT without a rate",
         {}, {}, {}, {{"ATE0V0X0S0=2\r", "0\r"}}, Connect9600, Ending::HangUp, "2\r2\r1\r", "3\r"},
        {"a faster bearer", {"--bearer", "14400"}, {"--bearer", "14400"}, {}, answersAfterTwo,
         "\r\nCONNECT 14400\r\n", Ending::HangUp, "\r\nRING\r\n\r\nRING\r\n\r\nCONNECT 14400\r\n"},
        {"the device's interface at 9600", {}, {"--speed", "9600"}, {}, answersAfterTwo, Connect9600,
         Ending::HangUp, TwoRingsAndConnect, NoCarrier, true, 9600},
        {"never answers at S0=0", {}, {}, {}, {}, NoCarrier, Ending::NoCall, "\r\nRING\r\n"},
        {"busy", {}, {"--busy"}, {}, answersAfterTwo, "\r\nBUSY\r\n", Ending::NoCall, ""},
        {"busy, told as NO CARRIER below X3", {}, {"--busy"}, {{"ATX0\r"}}, answersAfterTwo, NoCarrier,
         Ending::NoCall, ""},
        {"no SIM card", {}, {"--no-sim"}, {}, {}, NoCarrier, Ending::NoCall, ""},
        {"the device's modem not registered", {}, {"--no-network"}, {}, answersAfterTwo, NoCarrier, Ending::NoCall, ""},
        {"the caller not registered", {"--no-network"}, {}, {}, answersAfterTwo, NoCarrier, Ending::NoCall, ""},
        {"the SIM card still wants its PIN", {}, {"--pin", "1234"}, {}, {}, NoCarrier, Ending::NoCall, ""},
        {"dropped call", {}, {"--drop-call-after", "300"}, {}, answersAfterTwo, Connect9600, Ending::Dropped,
         TwoRingsAndConnect},
        {"corrupt link", {}, {"--corrupt", "0.01"}, {}, answersAfterTwo, Connect9600, Ending::HangUp,
         TwoRingsAndConnect, NoCarrier, false},
        {"restart keeps a stored profile", {}, {}, {},
         {{"ATS0=2&W\r"}, {"ATS0=0\r"}, {"AT+CFUN=1,1\r", Restart}}, Connect9600, Ending::HangUp,
         TwoRingsAndConnect},
        {"restart loses a profile never stored", {}, {}, {}, {{"ATS0=2\r"}, {"AT+CFUN=1,1\r", Restart}},
         NoCarrier, Ending::NoCall, "\r\nRING\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        PlaceCall(c);
    }
}

// One line to one modem (or none) and all that modem then says, to the end of the text;
// "+++" waits for the escape's guard time first. With Tail, only how it ends is told, as
// after rings whose number the clock decides.
struct Exchange {
    int Com;
    std::string Send;
    std::string Hears;
    bool Tail = false;
};

// Two modems, COM1 with callerOptions and COM2 with calleeOptions, through steps; then
// check reads the state file.
void Converse(const char* timeScale, const std::vector<std::string>& callerOptions,
              const std::vector<std::string>& calleeOptions, const std::vector<Exchange>& steps,
              const std::function<void(const std::string& state)>& check) {
    const TempConfigHome home;
    const std::string state = home.Path() + "/state.json";
    std::vector<std::string> args = {"--time-scale", timeScale, "--state", state, "--com", "1"};
    args.insert(args.end(), callerOptions.begin(), callerOptions.end());
    args.insert(args.end(), {"--com", "2"});
    args.insert(args.end(), calleeOptions.begin(), calleeOptions.end());
    ChildProcess modems(KX_MODEM_PATH, args);
    ASSERT_TRUE(modems.WaitForOutput("COM2 /dev/pts/")) << modems.Stderr();
    PtyPeer caller(home.PortsFolder() + "/COM1");
    PtyPeer callee(home.PortsFolder() + "/COM2");
    ASSERT_TRUE(caller.SetSpeed(115200) && callee.SetSpeed(115200));
    for (const auto& step : steps) {
        PtyPeer& peer = step.Com == 1 ? caller : callee;
        if (step.Send == "+++") std::this_thread::sleep_for(Guard);  // the silence the escape needs
        peer.Send(step.Send);
        const std::string said = peer.ReadUntil(step.Hears);
        if (step.Tail) {
            EXPECT_TRUE(said.ends_with(step.Hears)) << step.Send << " got " << said;
        } else {
            EXPECT_EQ(said, step.Hears) << step.Send;
        }
    }
    check(state);
}

struct DialogueCase {
    const char* Name;
    const char* TimeScale;  // 1 where a ring must not come between two steps
    std::vector<std::string> CalleeOptions;
    std::vector<Exchange> Steps;
    std::string CallerEnds;  // the stages in the state file at the end
    std::string CalleeEnds;
};

TEST(CallNetwork, CommandsAroundACall) {
    const DialogueCase cases[] = {
        {"ATA and ATO without a call", TimeScale, {},
         {{1, "ATA\r", "ATA\r\r\nNO CARRIER\r\n"}, {1, "ATO\r", "ATO\r\r\nNO CARRIER\r\n"}}, "on-hook", "on-hook"},
        {"its own number is busy", TimeScale, {}, {{1, "ATD+0001\r", "ATD+0001\r\r\nBUSY\r\n"}}, "on-hook", "on-hook"},
        {"numeric BUSY", TimeScale, {"--busy"}, {{1, "ATV0\r", "ATV0\r0\r"}, {1, "ATD+0002\r", "ATD+0002\r7\r"}},
         "on-hook", "on-hook"},
        {"a voice call is refused", TimeScale, {}, {{1, "ATD+0002;\r", "ATD+0002;\r\r\nERROR\r\n"}}, "on-hook",
         "on-hook"},
        {"answered by hand", "1", {},
         {{1, "ATD+0002\r", "ATD+0002\r"},
          {2, "", "\r\nRING\r\n"},
          {2, "ATA\r", "ATA\r\r\nCONNECT 9600\r\n"},
          {1, "", "\r\nCONNECT 9600\r\n"}},
         "online", "online"},
        {"a byte while dialing gives the call up", "1", {},
         {{1, "ATD+0002\r", "ATD+0002\r"},
          {2, "", "\r\nRING\r\n"},
          {1, "x", "\r\nNO CARRIER\r\n"},
          {2, "AT\r", "AT\r\r\nOK\r\n"}},
         "on-hook", "on-hook"},
        {"deaf while it restarts", "1", {},
         {{2, "AT+CFUN=1,1\r", "AT+CFUN=1,1\r\r\nOK\r\n"}, {2, "AT\r", Restart}, {2, "AT\r", "AT\r\r\nOK\r\n"}},
         "on-hook", "on-hook"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Converse(c.TimeScale, {}, c.CalleeOptions, c.Steps, [&](const std::string& state) {
            EXPECT_EQ(CallOf(state, 1), c.CallerEnds);
            EXPECT_EQ(CallOf(state, 2), c.CalleeEnds);
        });
    }
}

struct CauseCase {
    const char* Name;
    const char* TimeScale;
    std::vector<std::string> CallerOptions;
    std::vector<std::string> CalleeOptions;
    std::vector<Exchange> Steps;
    const char* CallerCause;  // of its last call, in the state file at the end
    const char* CalleeCause;
};

// Why the network released each call (3GPP TS 24.008 reasons): +CAUSE before the result
// under an odd S18, +CEER after it, in the MC55's rule (data calls untold) or told; the
// ring's type under +CRC; and the bearer of +CBST against the bearers a network carries.
TEST(CallNetwork, TheNetworksWordOnEachCall) {
    const std::string ceerNone = "AT+CEER\r\r\n+CEER: 0,0,0\r\n\r\nOK\r\n";
    const Exchange causesOn = {1, "ATS18=1\r", "ATS18=1\r\r\nOK\r\n"};
    const Exchange dial = {1, "ATD+0002\r", "ATD+0002\r"};
    const Exchange answersFirstRing = {2, "ATS0=1\r", "ATS0=1\r\r\nOK\r\n"};
    const Exchange waitsThreeSeconds = {1, "ATS18=1S7=3\r", "ATS18=1S7=3\r\r\nOK\r\n"};
    auto dialHears = [](const std::string& result) { return Exchange{1, "ATD+0002\r", "ATD+0002\r" + result}; };
    auto ceer = [](int com, const std::string& line) {
        return Exchange{com, "AT+CEER\r", "AT+CEER\r\r\n" + line + "\r\n\r\nOK\r\n"};
    };
    const CauseCase cases[] = {
        {"busy, S18=0: the result alone, and +CEER untold for a data call", TimeScale, {}, {"--busy"},
         {dialHears("\r\nBUSY\r\n"), {1, "AT+CEER\r", ceerNone}}, "17", "0"},
        {"busy, S18=1", TimeScale, {}, {"--busy"},
         {causesOn, dialHears("\r\n+CAUSE: 8:17\r\n\r\nBUSY\r\n"), {1, "AT+CEER\r", ceerNone}}, "17", "0"},
        {"busy, an even S18 and a family whose +CEER tells data calls", TimeScale, {"--ceer-data"}, {"--busy"},
         {{1, "ATS18=2\r", "ATS18=2\r\r\nOK\r\n"}, dialHears("\r\nBUSY\r\n"), ceer(1, "+CEER: 8,17,0")}, "17", "0"},
        {"busy, numeric", TimeScale, {}, {"--busy"},
         {{1, "ATV0S18=1\r", "ATV0S18=1\r0\r"}, dialHears("+CAUSE: 8:17\r\n7\r")}, "17", "0"},
        {"the caller's SIM card without data service", TimeScale, {"--no-data"}, {},
         {causesOn, dialHears("\r\n+CAUSE: 8:57\r\n\r\nNO CARRIER\r\n")}, "57", "0"},
        {"the device's SIM card without data service", TimeScale, {"--ceer-data"}, {"--no-data"},
         {dialHears("\r\nNO CARRIER\r\n"), ceer(1, "+CEER: 8,88,0")}, "88", "0"},
        {"a number nobody has", TimeScale, {}, {},
         {causesOn, {1, "ATD+0009\r", "ATD+0009\r\r\n+CAUSE: 8:1\r\n\r\nNO CARRIER\r\n"}}, "1", "0"},
        {"the device's modem not registered", TimeScale, {}, {"--no-network"},
         {causesOn, dialHears("\r\n+CAUSE: 8:18\r\n\r\nNO CARRIER\r\n")}, "18", "0"},
        {"the caller not registered: no network, no cause", TimeScale, {"--no-network", "--ceer-data"}, {},
         {causesOn, dialHears("\r\nNO CARRIER\r\n"), ceer(1, "+CEER: 0,0,0")}, "0", "0"},
        {"a V.110-only network refuses V.32, then carries V.110 until it drops the call", TimeScale,
         {"--network-bearers", "71"}, {"--drop-call-after", "300"},
         {causesOn, answersFirstRing, dialHears("\r\n+CAUSE: 8:65\r\n\r\nNO CARRIER\r\n"),
          {1, "AT+CBST=71,0,1\r", "AT+CBST=71,0,1\r\r\nOK\r\n"}, dialHears("\r\nCONNECT 9600\r\n"),
          {1, "", "\r\n+CAUSE: 8:41\r\n\r\nNO CARRIER\r\n"},
          {2, "", "\r\nRING\r\n\r\nCONNECT 9600\r\n\r\nNO CARRIER\r\n"}},
         "41", "41"},
        {"the device's network does not carry V.110", TimeScale, {}, {"--network-bearers", "7"},
         {causesOn, {1, "AT+CBST=71\r", "AT+CBST=71\r\r\nOK\r\n"},
          dialHears("\r\n+CAUSE: 8:65\r\n\r\nNO CARRIER\r\n")},
         "65", "0"},
        {"rejected by the device's modem", "1", {}, {},
         {causesOn, dial, {2, "", "\r\nRING\r\n"}, {2, "ATH\r", "ATH\r\r\nOK\r\n"},
          {1, "", "\r\n+CAUSE: 8:21\r\n\r\nNO CARRIER\r\n"}, ceer(2, "+CEER: 0,0,0")},
         "21", "16"},
        {"hung up by the device's modem: normal clearing", TimeScale, {}, {"--ceer-data"},
         {causesOn, answersFirstRing, dialHears("\r\nCONNECT 9600\r\n"),
          {2, "", "\r\nRING\r\n\r\nCONNECT 9600\r\n"}, {2, "+++", "\r\nOK\r\n"},
          // The pluses of the escape crossed as data.
          {2, "ATH\r", "ATH\r\r\nOK\r\n"}, {1, "", "+++\r\n+CAUSE: 8:16\r\n\r\nNO CARRIER\r\n"},
          ceer(1, "+CEER: 0,0,0"), ceer(2, "+CEER: 8,16,0")},
         "16", "16"},
        {"rings without an answer", TimeScale, {}, {},
         {causesOn, dialHears("\r\n+CAUSE: 8:19\r\n\r\nNO CARRIER\r\n"),
          {2, "AT+CEER\r", "\r\nRING\r\nAT+CEER\r\r\n+CEER: 0,0,0\r\n\r\nOK\r\n", true}},
         "19", "19"},
        {"a data call as a voice call under +CRC: neither S0 nor ATA takes it", "1", {}, {"--data-as-voice"},
         {waitsThreeSeconds, {2, "ATS0=1+CRC=1\r", "ATS0=1+CRC=1\r\r\nOK\r\n"}, dial,
          {2, "", "\r\n+CRING: VOICE\r\n"}, {2, "ATA\r", "ATA\r\r\nNO CARRIER\r\n"},
          {1, "", "\r\n+CAUSE: 8:19\r\n\r\nNO CARRIER\r\n"}, ceer(2, "+CEER: 8,19,0")},
         "19", "19"},
        {"a data call as a voice call rings RING without +CRC", "1", {}, {"--data-as-voice", "--no-data"},
         {waitsThreeSeconds, answersFirstRing, dial, {2, "", "\r\nRING\r\n"},
          {1, "", "\r\n+CAUSE: 8:19\r\n\r\nNO CARRIER\r\n"}, ceer(2, "+CEER: 8,19,0")},
         "19", "19"},
        {"a data call under +CRC, dropped with S18=0", TimeScale, {}, {"--drop-call-after", "300"},
         {{2, "ATS0=1+CRC=1\r", "ATS0=1+CRC=1\r\r\nOK\r\n"}, dialHears("\r\nCONNECT 9600\r\n"),
          {2, "", "\r\n+CRING: REL ASYNC\r\n\r\nCONNECT 9600\r\n"}, {1, "", "\r\nNO CARRIER\r\n"},
          {2, "", "\r\nNO CARRIER\r\n"}, ceer(1, "+CEER: 0,0,0")},
         "41", "41"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Converse(c.TimeScale, c.CallerOptions, c.CalleeOptions, c.Steps, [&](const std::string& state) {
            EXPECT_EQ(StateOf(state, 1, "cause"), c.CallerCause);
            EXPECT_EQ(StateOf(state, 2, "cause"), c.CalleeCause);
            EXPECT_EQ(CallOf(state, 1), "on-hook");
        });
    }
}

}  // namespace
