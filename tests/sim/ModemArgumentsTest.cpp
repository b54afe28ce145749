#include <gtest/gtest.h>

#include "sim/ModemArguments.h"

namespace {

TEST(ModemArguments, ReadsEveryOption) {
    VirtualModemOptions o;
    bool help = true;
    EXPECT_EQ(gParseModemArguments({"--com", "9", "--speed", "14400", "--mismatch", "silent",
                                    "--profile", "p", "--no-sim", "--delay", "250", "--split",
                                    "--seed", "42", "--silent", "--hangup-after", "3", "--noise",
                                    "--flood", "--transcript", "t", "--sim", "puk", "--signal", "99",
                                    "--registration", "roaming", "--imei", "490154203237518"},
                                   o, help),
              "");
    EXPECT_FALSE(help);
    EXPECT_EQ(o.ComNumber, 9);
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
    EXPECT_EQ(o.Signal, 99);
    EXPECT_EQ(o.Network, Registration::Roaming);
    EXPECT_EQ(o.Imei, "490154203237518");
}

TEST(ModemArguments, RefusesBadValues) {
    const std::vector<std::vector<std::string>> bad = {
        {"--com"}, {"--com", "0"}, {"--com", "x"}, {"--com", "-3"}, {"--speed", "9601"},
        {"--speed", "230400"}, {"--mismatch", "loud"}, {"--delay", "1e3"}, {"--delay", "60001"},
        {"--hangup-after", "0"}, {"--seed", "4294967296"}, {"--transcript"}, {"--frobnicate"},
        {"--sim", "none"}, {"--signal", "32"}, {"--signal", "100"}, {"--registration", "away"},
        {"--imei", "12345678901234"}, {"--imei", "49015420323751x"},
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
