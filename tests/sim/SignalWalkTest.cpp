// The wandering level of --signal-walk, as a program reading AT+CSQ sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/ModemSession.h"

namespace {

std::vector<int> Levels(uint32_t seed, bool walk, int count) {
    SessionRules rules;
    rules.SignalWalk = walk;
    ModemSession session(rules, gFactorySettings(115200), gFactorySettings(115200), seed);
    std::vector<int> levels;
    for (int i = 0; i < count; ++i) {
        std::string reply;
        for (const auto& t : session.Receive("AT+CSQ\r", 115200)) reply += t.Bytes;
        const size_t at = reply.find("+CSQ: ");
        EXPECT_NE(at, std::string::npos) << reply;
        levels.push_back(std::stoi(reply.substr(at + 6)));
    }
    return levels;
}

TEST(SignalWalk, WandersStepByStepWithRunsOfNoSignalAndRepeatsFromItsSeed) {
    const std::vector<int> levels = Levels(7, true, 400);
    EXPECT_EQ(levels.front(), 17);
    int last = 17, lost = 0, moves = 0;
    for (int level : levels) {
        if (level == 99) {
            ++lost;
            continue;
        }
        ASSERT_TRUE(level >= 0 && level <= 31) << level;
        EXPECT_LE(std::abs(level - last), 1);
        moves += level != last;
        last = level;
    }
    EXPECT_GT(lost, 0);
    EXPECT_GT(moves, 50);
    EXPECT_EQ(Levels(7, true, 400), levels);
    EXPECT_NE(Levels(8, true, 400), levels);
    EXPECT_EQ(Levels(7, false, 5), (std::vector<int>(5, 17)));
}

}  // namespace
