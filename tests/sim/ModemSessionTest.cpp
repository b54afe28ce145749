#include <gtest/gtest.h>

#include "sim/ModemSession.h"

namespace {

std::string Joined(const std::vector<Transmission>& out) {
    std::string all;
    for (const auto& t : out) all += t.Bytes;
    return all;
}

ModemSession Fresh(SessionRules rules = {}, uint32_t speed = 115200) {
    return ModemSession(rules, gFactorySettings(speed), gFactorySettings(speed), 1);
}

TEST(ModemSession, BytesAfterASpeedSwitchInTheSameBatchAreNotUnderstood) {
    SessionRules rules;
    rules.Mismatch = MismatchMode::Silent;
    auto session = Fresh(rules);
    const auto out = session.Receive("AT+IPR=9600\rATE0\r", 115200);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Bytes, "AT+IPR=9600\r");
    EXPECT_EQ(out[1].Bytes, "\r\nOK\r\n");
    EXPECT_TRUE(out[1].IsResult);
    EXPECT_EQ(out[1].Speed, 115200u);
    EXPECT_TRUE(session.Settings().Echo);
    EXPECT_EQ(session.CommandLines(), 1);
    EXPECT_EQ(Joined(session.Receive("ATE0\r", 9600)), "ATE0\r\r\nOK\r\n");
}

TEST(ModemSession, CommandLinesArriveInAnyPieces) {
    auto session = Fresh();
    std::string all;
    for (const char* piece : {"A", "T", "E0", "\rAT", "\r"}) all += Joined(session.Receive(piece, 115200));
    EXPECT_EQ(all, "ATE0\r\r\nOK\r\n\r\nOK\r\n");
    EXPECT_EQ(session.CommandLines(), 2);
}

TEST(ModemSession, LinesWithoutAtAreEchoedButNotAnswered) {
    auto session = Fresh();
    EXPECT_EQ(Joined(session.Receive("\rhello\r", 115200)), "\rhello\r");
    EXPECT_EQ(session.CommandLines(), 0);
}

TEST(ModemSession, AnOverlongLineAnswersError) {
    auto session = Fresh();
    const std::string reply = Joined(session.Receive("AT" + std::string(1000, 'E') + "\r", 115200));
    EXPECT_EQ(reply.substr(reply.size() - 9), "\r\nERROR\r\n");
    EXPECT_TRUE(session.Settings().Echo);  // the E0 in it never ran
    EXPECT_EQ(Joined(session.Receive("ATE0\r", 115200)), "ATE0\r\r\nOK\r\n");
}

TEST(ModemSession, GarbageAtAnotherSpeedHasNoLineEndAndDropsThePartialLine) {
    auto session = Fresh();
    session.Receive("AT", 115200);
    const std::string noise = Joined(session.Receive("E0\r", 9600));
    EXPECT_FALSE(noise.empty());
    EXPECT_EQ(noise.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(Joined(session.Receive("\r", 115200)), "\r");
    EXPECT_EQ(session.CommandLines(), 0);
}

TEST(ModemSession, HangsUpAfterTheCountedLinesAndIgnoresTheRest) {
    SessionRules rules;
    rules.HangupAfter = 1;
    auto session = Fresh(rules);
    EXPECT_EQ(Joined(session.Receive("AT\rATE0\r", 115200)), "AT\r\r\nOK\r\n");
    EXPECT_TRUE(session.HangUpNow());
    EXPECT_TRUE(session.Receive("AT\r", 115200).empty());
    EXPECT_TRUE(session.Settings().Echo);
}

TEST(ModemSession, StoringTheProfileIsReportedOnce) {
    auto session = Fresh();
    session.Receive("ATS7=30&W\r", 115200);
    EXPECT_TRUE(session.TakeProfileStored());
    EXPECT_FALSE(session.TakeProfileStored());
    EXPECT_EQ(session.StoredProfile().CarrierWait, 30);
}

}  // namespace
