// The test call's rules on what an operator types and what modems send, one table each:
// numbers that may be dialled, the lines of a call in both forms, a NO CARRIER behind data.

#include <gtest/gtest.h>

#include "engine/CallNumber.h"
#include "engine/CallRows.h"
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
        CallLine Means;
    } cases[] = {
        {"OK", CallLine::Ok},          {"0", CallLine::Ok},
        {"CONNECT", CallLine::Connect}, {"1", CallLine::Connect},
        {"CONNECT 9600", CallLine::Connect}, {"49", CallLine::Connect},
        {"CONNECT 2400", CallLine::Connect}, {"47", CallLine::Connect},
        {"RING", CallLine::Ring},       {"2", CallLine::Ring},
        {"NO CARRIER", CallLine::NoCarrier}, {"3", CallLine::NoCarrier},
        {"ERROR", CallLine::Error},     {"4", CallLine::Error},
        {"+CME ERROR: 30", CallLine::Error},
        {"BUSY", CallLine::Busy},       {"7", CallLine::Busy},
        {"NO DIALTONE", CallLine::NoDialtone}, {"NO ANSWER", CallLine::NoAnswer},
        {"^SYSSTART", CallLine::SysStart},
        {"ATD+0002", CallLine::Other},  {"30", CallLine::Other}, {"RINGING", CallLine::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(gCallLine(c.Line), c.Means) << c.Line;
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
