// The network of one kestrelix-modem process, driven over its ports as the utility drives
// them: COM1 calls COM2, each row a way a call goes, told by what each modem says, by
// the data that crosses and by the state file.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
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

// The stage of COMn's call in the state file.
std::string CallOf(const std::string& file, int com) {
    std::ifstream in(file);
    const std::string key = "{\"com\":" + std::to_string(com) + ",";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0) continue;
        const size_t at = line.find("\"call\":\"") + 8;
        return line.substr(at, line.find('"', at) - at);
    }
    return "none";
}

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

// One line to one modem (or none) and all that modem then says, to the end of the text.
struct Exchange {
    int Com;
    std::string Send;
    std::string Hears;
};

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
        const TempConfigHome home;
        const std::string state = home.Path() + "/state.json";
        std::vector<std::string> args = {"--time-scale", c.TimeScale, "--state", state, "--com", "1", "--com", "2"};
        args.insert(args.end(), c.CalleeOptions.begin(), c.CalleeOptions.end());
        ChildProcess modems(KX_MODEM_PATH, args);
        ASSERT_TRUE(modems.WaitForOutput("COM2 /dev/pts/")) << modems.Stderr();
        PtyPeer caller(home.PortsFolder() + "/COM1");
        PtyPeer callee(home.PortsFolder() + "/COM2");
        ASSERT_TRUE(caller.SetSpeed(115200) && callee.SetSpeed(115200));
        for (const auto& step : c.Steps) {
            PtyPeer& peer = step.Com == 1 ? caller : callee;
            peer.Send(step.Send);
            EXPECT_EQ(peer.ReadUntil(step.Hears), step.Hears) << step.Send;
        }
        EXPECT_EQ(CallOf(state, 1), c.CallerEnds);
        EXPECT_EQ(CallOf(state, 2), c.CalleeEnds);
    }
}

}  // namespace
