#include <gtest/gtest.h>

#include "sim/ModemArguments.h"

namespace {

TEST(ModemArguments, ReadsEveryOption) {
    VirtualModemOptions o;
    bool help = true;
    EXPECT_EQ(gParseModemArguments({"--speed", "14400", "--mismatch", "silent",
                                    "--profile", "p", "--no-sim", "--delay", "250", "--split",
                                    "--seed", "42", "--silent", "--hangup-after", "3", "--noise",
                                    "--flood", "--transcript", "t", "--sim", "puk", "--signal", "99", "--csq", "garbage",
                                    "--registration", "roaming", "--imei", "490154203237518",
                                    "--maker", "=1+1", "--model", "MC\x1b[2J",
                                    "--answer", "at+creg?=\\r\\n+CREG: 2,1,8BE3,2BAF\\r\\n\\x00\\\\OK\\r\\n",
                                    "--answer", "AT+CGSN=3\\r", "--no-data", "--data-as-voice",
                                    "--network-bearers", "71,7", "--ceer-data"},
                                   o, help),
              "");
    EXPECT_FALSE(help);
    EXPECT_EQ(o.Speed, 14400u);
    EXPECT_EQ(o.Mismatch, MismatchMode::Silent);
    EXPECT_EQ(o.ProfileFile, "p");
    EXPECT_TRUE(o.NoSim);
    EXPECT_EQ(o.DelayMs, 250u);
    EXPECT_TRUE(o.Split);
    EXPECT_EQ(o.Seed, 42u);
    EXPECT_TRUE(o.Silent);
    EXPECT_EQ(o.HangupAfter, 3);
    EXPECT_TRUE(o.Noise);
    EXPECT_TRUE(o.Flood);
    EXPECT_EQ(o.TranscriptFile, "t");
    EXPECT_EQ(o.Sim, SimState::PukNeeded);
    EXPECT_EQ(o.CsqFault, SignalFault::Garbage);
    EXPECT_EQ(o.Signal, 99);
    EXPECT_EQ(o.Network, Registration::Roaming);
    EXPECT_EQ(o.Imei, "490154203237518");
    EXPECT_EQ(o.Maker, "=1+1");
    EXPECT_EQ(o.Model, "MC\x1b[2J");
    ASSERT_EQ(o.Answers.size(), 2u);
    EXPECT_EQ(o.Answers[0].Command, "AT+CREG?");
    EXPECT_EQ(o.Answers[0].Bytes, std::string("\r\n+CREG: 2,1,8BE3,2BAF\r\n\0\\OK\r\n", 30));
    EXPECT_EQ(o.Answers[1].Command, "AT+CGSN");
    EXPECT_EQ(o.Answers[1].Bytes, "3\r");
    EXPECT_TRUE(o.NoDataService);
    EXPECT_TRUE(o.DataAsVoice);
    EXPECT_EQ(o.NetworkBearers, std::vector<int>({71, 7}));
    EXPECT_TRUE(o.CeerForData);
}

// --pin makes the card ask for its PIN unless --sim names its state, in either order.
TEST(ModemArguments, ThePinAndTheCardState) {
    const struct {
        std::vector<std::string> Args;
        SimState Sim;
        const char* Pin;
        bool LockFixed;
    } cases[] = {
        {{}, SimState::Ready, "0000", false},
        {{"--pin", "12345678"}, SimState::PinNeeded, "12345678", false},
        {{"--sim", "ready", "--pin", "1234"}, SimState::Ready, "1234", false},
        {{"--pin", "1234", "--sim", "ready"}, SimState::Ready, "1234", false},
        {{"--pin", "1234", "--sim", "puk", "--lock-fixed"}, SimState::PukNeeded, "1234", true},
    };
    for (const auto& c : cases) {
        VirtualModemOptions o;
        bool help = false;
        ASSERT_EQ(gParseModemArguments(c.Args, o, help), "");
        EXPECT_EQ(o.Sim, c.Sim);
        EXPECT_EQ(o.Pin, c.Pin);
        EXPECT_EQ(o.LockFixed, c.LockFixed);
    }
}

TEST(ModemArguments, RefusesBadValues) {
    const std::vector<std::vector<std::string>> bad = {
        {"--com", "9"}, {"--speed", "9601"},
        {"--speed", "230400"}, {"--mismatch", "loud"}, {"--delay", "1e3"}, {"--delay", "60001"},
        {"--hangup-after", "0"}, {"--seed", "4294967296"}, {"--transcript"}, {"--frobnicate"},
        {"--sim", "none"}, {"--signal", "32"}, {"--signal", "100"}, {"--registration", "away"}, {"--csq", "slow"},
        {"--imei", "12345678901234"}, {"--imei", "49015420323751x"},
        {"--maker"}, {"--model", "MC52i\r\nOK"}, {"--maker", "a\nb"},
        {"--pin", "123"}, {"--pin", "123456789"}, {"--pin", "12a4"}, {"--pin"},
        {"--network-bearers", "72"}, {"--network-bearers", ""}, {"--network-bearers", "7,x"}, {"--network-bearers"},
        {"--answer"}, {"--answer", "AT+CSQ"}, {"--answer", "+CSQ=x"}, {"--answer", "AT+CSQ=\\t"}, {"--answer", "AT+CSQ=\\x4"},
    };
    for (const auto& args : bad) {
        VirtualModemOptions o;
        bool help = false;
        EXPECT_NE(gParseModemArguments(args, o, help), "") << args[0];
    }
    VirtualModemOptions o;
    bool help = false;
    EXPECT_EQ(gParseModemArguments({"--speed", "9601"}, o, help),
              "--speed needs one of 0, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200");
}

// Each --com starts a group of modems; what comes before the first is every group's.
TEST(ModemArguments, GroupsOfModemsEachWithItsOwnFaults) {
    struct Modem {
        int Com;
        uint32_t Speed;
        bool Silent;
        int HangupAfter;
        bool operator==(const Modem&) const = default;
    };
    const struct {
        std::vector<std::string> Args;
        std::vector<Modem> Modems;
    } cases[] = {
        {{}, {{1, 115200, false, 0}}},
        {{"--speed", "9600"}, {{1, 9600, false, 0}}},
        {{"--com", "7", "--silent"}, {{7, 115200, true, 0}}},
        {{"--silent", "--com", "7"}, {{7, 115200, true, 0}}},
        {{"--speed", "9600", "--com", "1-2", "--com", "3", "--hangup-after", "3", "--com", "200,4", "--silent"},
         {{1, 9600, false, 0}, {2, 9600, false, 0}, {3, 9600, false, 3}, {200, 9600, true, 0}, {4, 9600, true, 0}}},
    };
    for (const auto& c : cases) {
        std::vector<VirtualModemOptions> modems;
        bool help = false;
        ASSERT_EQ(gParseModemGroups(c.Args, modems, help), "");
        std::vector<Modem> got;
        for (const auto& o : modems) got.push_back({o.ComNumber, o.Speed, o.Silent, o.HangupAfter});
        EXPECT_EQ(got, c.Modems);
    }
    std::vector<VirtualModemOptions> many;
    bool help = false;
    ASSERT_EQ(gParseModemGroups({"--com", "1-64", "--seed", "5"}, many, help), "");
    ASSERT_EQ(many.size(), 64u);
    EXPECT_EQ(many[63].ComNumber, 64);
    EXPECT_EQ(many[63].Seed, 5u);

    const std::string OneModem =
        "--profile, --transcript and --number serve one modem; give them after a --com of one number";
    const struct {
        std::vector<std::string> Args;
        std::string Error;
    } bad[] = {
        {{"--com"}, "--com needs COM numbers from 1 to 256, one by one or as ranges, separated by commas, as in 3,5-8"},
        {{"--com", "0"}, "bad --com 0: there is no COM0; --com takes COM numbers from 1 to 256, one by one or as "
                         "ranges, separated by commas, as in 3,5-8"},
        {{"--com", "5-3"}, "bad --com 5-3: the range 5-3 runs backwards; --com takes COM numbers from 1 to 256, one "
                           "by one or as ranges, separated by commas, as in 3,5-8"},
        {{"--com", "1-2", "--profile", "p"}, OneModem},
        {{"--transcript", "t", "--com", "1,2"}, OneModem},
        {{"--com", "1-2", "--number", "+0003"}, OneModem},
        {{"--com", "1", "--number", "+0002", "--com", "2"}, "COM1 and COM2 would both have number +0002"},
        {{"--com", "1", "--number", "12", "--com", "2"}, "--number needs 3 to 20 digits, a leading + allowed"},
        {{"--com", "1", "--bearer", "1200"}, "--bearer needs 2400, 4800, 9600 or 14400"},
        {{"--com", "1", "--corrupt", "2"}, "--corrupt needs a share of the bits, 0 to 1"},
        {{"--com", "1", "--time-scale", "0"}, "--time-scale needs 1 to 1000"},
        {{"--com", "1", "--signal", "40"}, "--signal needs 0 to 31, or 99"},
    };
    for (const auto& c : bad) EXPECT_EQ(gParseModemGroups(c.Args, many, help), c.Error) << c.Args[0];
}

TEST(ModemArguments, DefaultsAndHelp) {
    VirtualModemOptions o;
    bool help = false;
    EXPECT_EQ(gParseModemArguments({"--help"}, o, help), "");
    EXPECT_TRUE(help);
    EXPECT_EQ(o.ComNumber, 1);
    EXPECT_EQ(o.Speed, 115200u);
    EXPECT_EQ(o.Mismatch, MismatchMode::Garbage);
    EXPECT_FALSE(o.Seed);
}

}  // namespace
