// The test call's rules on what an operator types and what modems send, one table each:
// numbers that may be dialled, the lines of a call in both forms, a NO CARRIER behind data.

#include <gtest/gtest.h>

#include "engine/CallNumber.h"
#include "engine/LineMeaning.h"
#include "engine/TestBlock.h"
#include "serial/LineSplitter.h"

TEST(CallRows, OnlyNumbersThatCanBeDialled) {
    const struct {
        const char* Number;
        bool Dialled;
    } cases[] = {
        {"+79161234567", true}, {"0002", true}, {"123", true}, {"12345678901234567890", true},
        {"+1234567890123456789", true}, {"+12345678901234567890", true}, {"12", false}, {"+12", false}, {"", false}, {"   ", false},
        {"12a45", false}, {"12345;", false}, {"123 45", false}, {"12+34", false}, {"++123", false},
        {"123456789012345678901", false}, {"\x1b[2J1", false},
    };
    for (const auto& c : cases) EXPECT_EQ(gIsCallNumber(c.Number), c.Dialled) << c.Number;
}

// The codes of the family's manuals (MC55 and BGS2T AT command sets) and V.250's others.
TEST(CallRows, TheLinesOfACallInBothForms) {
    const struct {
        const char* Line;
        LineKind Means;
    } cases[] = {
        {"OK", LineKind::Ok},          {"0", LineKind::Ok},
        {"CONNECT", LineKind::Connect}, {"1", LineKind::Connect},
        {"CONNECT 9600", LineKind::Connect}, {"49", LineKind::Connect},
        {"CONNECT 2400", LineKind::Connect}, {"47", LineKind::Connect},
        {"RING", LineKind::Ring},       {"2", LineKind::Ring},
        {"NO CARRIER", LineKind::NoCarrier}, {"3", LineKind::NoCarrier},
        {"ERROR", LineKind::Refusal},     {"4", LineKind::Refusal},
        {"+CME ERROR: 30", LineKind::Refusal},
        {"BUSY", LineKind::Busy},       {"7", LineKind::Busy},
        {"NO DIALTONE", LineKind::Refusal}, {"NO ANSWER", LineKind::NoAnswer},
        {"^SYSSTART", LineKind::SysStart},
        {"ATD+0002", LineKind::Other},  {"30", LineKind::Other}, {"RINGING", LineKind::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(gLineMeaning(c.Line).Kind, c.Means) << c.Line;
}

TEST(CallRows, NoCarrierBehindDataAndLinesAsTheyArrive) {
    const struct {
        const char* Received;
        bool Ended;
    } cases[] = {
        {"\r\nNO CARRIER\r\n", true}, {"\x9a\x01+++3\r", true}, {"data\r\nNO CARRIER\r\n", true},
        {"3", false}, {"NO CARRIER", false}, {"\x9a\x01+++\r", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(gEndsWithNoCarrier(c.Received), c.Ended) << c.Received;

    std::string pending = std::string("\r\nRI") + '\0' + "NG\r\n2\rCONN";
    EXPECT_EQ(gTakeLine(pending), "RING");
    EXPECT_EQ(gTakeLine(pending), "2");
    EXPECT_EQ(gTakeLine(pending), std::nullopt);
    pending += "ECT 9600\r\n";
    EXPECT_EQ(gTakeLine(pending), "CONNECT 9600");

    EXPECT_EQ(gTestBlock(7, 1024), gTestBlock(7, 1024));
    EXPECT_NE(gTestBlock(7, 1024), gTestBlock(8, 1024));
}
