// The pure judgement of gathered bytes: FindBytes, echo, completion, classification.

#include <gtest/gtest.h>

#include <string>

#include "serial/ReplyParser.h"

using namespace std::string_literals;

TEST(FindBytesTest, Table) {
    struct Case {
        std::string Data;
        int Count;
        const char* Text;
        int Index;
    } cases[] = {
        {"\r\nOK\r\n", 6, "OK", 2},
        {"\r\nOK\r\n", 6, "\r\nOK\r\n", 0},
        {"\r\nOK\r\n", 5, "\r\nOK\r\n", -1},  // the count bounds the search
        {"OKOK", 4, "OK", 0},
        {"ok", 2, "OK", -1},
        {"abc", 3, "", 0},
        {"abc", 0, "", -1},
        {"abc", -1, "a", -1},
        {"\0\0OK"s, 4, "OK", 2},
        {"a\0b"s, 3, "b", 2},
        {"xx4\r", 4, "4\r", 2},
        {"4", 1, "4\r", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindBytes(c.Data.data(), c.Count, c.Text), c.Index) << '"' << c.Data << "\" / " << c.Text;
    }
}

TEST(ScanReplyTest, Table) {
    struct Case {
        std::string Gathered;
        const char* Command;
        bool Complete;
        ReplyForm Form;
        int Start;
    } cases[] = {
        {"AT\r\r\nOK\r\n", "AT\r", true, ReplyForm::Verbose, 3},
        {"AT\r", "AT\r", false, ReplyForm::Numeric, 3},
        {"AT\r\r\n", "AT\r", false, ReplyForm::Numeric, 3},
        {"AT\r\r\nO", "AT\r", false, ReplyForm::Verbose, 3},
        {"AT", "AT\r", false, ReplyForm::Numeric, 0},
        {"\r\n\r", nullptr, false, ReplyForm::Verbose, 0},
        {"\r\n\r\n", nullptr, true, ReplyForm::Verbose, 0},
        {"\r\nOK\r", nullptr, false, ReplyForm::Verbose, 0},  // verbose never falls back to numeric
        {"\r", nullptr, false, ReplyForm::Numeric, 0},
        {"0\r", nullptr, true, ReplyForm::Numeric, 0},
        {"OK\r\n", nullptr, false, ReplyForm::Numeric, 0},
        {"\n\r", nullptr, true, ReplyForm::Numeric, 0},
        {"noise AT\r0\r", "AT\r", true, ReplyForm::Numeric, 9},
        {"AT\rAT\r0\r", "AT\r", true, ReplyForm::Numeric, 3},  // the first echo counts
        {"ATZ\r0\r", "AT\r", true, ReplyForm::Numeric, 0},
        // An echo damaged on the line: the "0\r" of its speed is no numeric OK.
        {"QT+IPR=9600\r", "AT+IPR=9600\r", false, ReplyForm::Numeric, 12},
        {"QT+IPR=9600\r0\r", "AT+IPR=9600\r", true, ReplyForm::Numeric, 12},
        {"AT+IPR=96Q0\r\r\nOK\r\n", "AT+IPR=9600\r", true, ReplyForm::Verbose, 12},
        {"XY+IPR=9600\r", "AT+IPR=9600\r", false, ReplyForm::Numeric, 12},
        {"XYZW=9600\r", "AT+IPR=9600\r", true, ReplyForm::Numeric, 0},  // not the echo: too many wrong
    };
    for (const Case& c : cases) {
        const ReplyScan scan = gScanReply(c.Gathered.data(), static_cast<int>(c.Gathered.size()), c.Command);
        EXPECT_EQ(scan.Complete, c.Complete) << c.Gathered;
        if (c.Complete) {
            EXPECT_EQ(scan.Form, c.Form) << c.Gathered;
        }
        EXPECT_EQ(scan.Start, c.Start) << c.Gathered;
        EXPECT_EQ(scan.Length, static_cast<int>(c.Gathered.size()) - c.Start) << c.Gathered;
    }
}

TEST(ClassifyReplyTest, ErrorReplyFollowsTheForm) {
    const std::string verboseError = "\r\nERROR\r\n";
    const std::string numericError = "4\r";
    EXPECT_EQ(gClassifyReply(verboseError.data(), 9, ReplyForm::Verbose, "\r\nOK\r\n", "0\r"), ModemError);
    EXPECT_EQ(gClassifyReply(verboseError.data(), 9, ReplyForm::Numeric, "\r\nOK\r\n", "0\r"), Failed);
    EXPECT_EQ(gClassifyReply(numericError.data(), 2, ReplyForm::Numeric, "\r\nOK\r\n", "0\r"), ModemError);
    EXPECT_EQ(gClassifyReply(numericError.data(), 2, ReplyForm::Verbose, "\r\nOK\r\n", "0\r"), Failed);
    EXPECT_EQ(gClassifyReply(numericError.data(), 2, ReplyForm::Numeric, "4\r", nullptr), Ok);
}

struct InfoCase {
    std::string Gathered;  // a whole reply, echo included
    const char* Command;
    ReplyCode Code;
    std::vector<std::string> Lines;
    int CmeError;
};

const InfoCase InfoCases[] = {
    {"AT+CSQ\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n", "AT+CSQ\r", Ok, {"+CSQ: 17,99"}, -1},
    {"\r\n+CSQ: 17,99\r\n\r\nOK\r\n", "AT+CSQ\r", Ok, {"+CSQ: 17,99"}, -1},
    {"+CSQ: 10,99\r\n0\r", "AT+CSQ\r", Ok, {"+CSQ: 10,99"}, -1},  // "10\r" holds no "0\r" verdict
    {"351998000000034\r\n0\r", "AT+CGSN\r", Ok, {"351998000000034"}, -1},
    {"AT+CGSN\r\r\n351998000000034\r\n\r\nOK\r\n", "AT+CGSN\r", Ok, {"351998000000034"}, -1},
    {"\r\nCinterion\r\n\r\nMC52i\r\n\r\nOK\r\n", nullptr, Ok, {"Cinterion", "MC52i"}, -1},
    {"\r\n+CME ERROR: 10\r\n", "AT+CPIN?\r", ModemError, {}, 10},
    {"AT+CPIN?\r+CME ERROR: 10\r\n", "AT+CPIN?\r", ModemError, {}, 10},
    {"\r\n+CME ERROR: SIM not inserted\r\n", nullptr, ModemError, {}, -1},
    {"\r\n+CMS ERROR: 310\r\n", nullptr, ModemError, {}, -1},
    {"\r\nERROR\r\n", "AT+CGMR\r", ModemError, {}, -1},
    {"4\r", "AT+CGMR\r", ModemError, {}, -1},
    {"\r\nRING\r\n\r\n+CREG: 0,5\r\n\r\nOK\r\n", nullptr, Ok, {"+CREG: 0,5"}, -1},
    {"\r\nNO CARRIER\r\n", nullptr, ModemError, {}, -1},
    {"3\r", nullptr, ModemError, {}, -1},
};

TEST(InfoReplyTest, CompleteOnlyOnTheFinalResultCode) {
    for (const InfoCase& c : InfoCases) {
        const int size = static_cast<int>(c.Gathered.size());
        const InfoReply reply = gParseInfoReply(c.Gathered.data(), size, c.Command);
        ASSERT_TRUE(reply.Complete) << c.Gathered;
        EXPECT_EQ(reply.Code, c.Code) << c.Gathered;
        EXPECT_EQ(reply.Lines, c.Lines) << c.Gathered;
        EXPECT_EQ(reply.CmeError, c.CmeError) << c.Gathered;
        // A read may end after any byte: no shorter part of the reply is complete.
        for (int cut = 0; cut < size; ++cut)
            EXPECT_FALSE(gParseInfoReply(c.Gathered.data(), cut, c.Command).Complete) << c.Gathered << " cut at " << cut;
    }
}

TEST(InfoReplyTest, RingAloneIsNoFinalCode) {
    for (const std::string gathered : {"2\r", "\r\nRING\r\n", "\r\n+CSQ: 5,99\r\n", "\r\nOK\r"}) {
        EXPECT_FALSE(gParseInfoReply(gathered.data(), static_cast<int>(gathered.size()), nullptr).Complete)
            << gathered;
    }
}

// What the reader takes out before it judges a reply: NULs, and the lines sent unasked
// unless the question asks for them.
TEST(SetAsideTest, Table) {
    struct Case {
        const char* Name;
        std::string Gathered;
        const char* Command;
        const char* Expected;
        std::string Left;
        std::vector<std::string> Lines;
        Unasked Kind;  // of the first line set aside
    } cases[] = {
        {"Nothing", "AT\r\r\nOK\r\n", "AT\r", nullptr, "AT\r\r\nOK\r\n", {}, Unasked::Quiet},
        {"Nuls", "\0A\0T\r\0"s, nullptr, nullptr, "AT\r", {}, Unasked::Quiet},
        {"Asked", "\r\n+CREG: 0,1\r\n\r\nOK\r\n", "AT+CREG?\r", nullptr, "\r\n+CREG: 0,1\r\n\r\nOK\r\n", {},
         Unasked::Quiet},
        {"UnsolicitedFormWithTheAnswer", "\r\n+CREG: 2\r\n\r\n+CREG: 0,1\r\n\r\nOK\r\n", "AT+CREG?\r", nullptr,
         "\r\n+CREG: 0,1\r\n\r\nOK\r\n", {"+CREG: 2"}, Unasked::Quiet},
        {"UnsolicitedFormWithArea", "\r\n+CGREG: 1,\"00C3\",\"1A2B\"\r\n\r\n+CGREG: 2,1,\"00C3\",\"1A2B\"\r\n", "AT+CGREG?\r",
         nullptr, "\r\n+CGREG: 2,1,\"00C3\",\"1A2B\"\r\n", {"+CGREG: 1,\"00C3\",\"1A2B\""}, Unasked::Quiet},
        {"UnsolicitedFormAloneIsTheAnswer", "\r\n+CREG: 0011,\"0001\",\"0010\",000\r\n\r\nOK\r\n", "AT+CREG?\r",
         nullptr, "\r\n+CREG: 0011,\"0001\",\"0010\",000\r\n\r\nOK\r\n", {}, Unasked::Quiet},
        {"AskedOnlyByItsCommand", "\r\n+CREG: 1\r\n\r\nOK\r\n", "AT+CGREG?\r", nullptr, "\r\nOK\r\n", {"+CREG: 1"},
         Unasked::Quiet},
        {"Undervoltage", "\r\n^SBC: Undervoltage\r\n", "AT+CSQ\r", nullptr, "", {"^SBC: Undervoltage"},
         Unasked::Undervoltage},
        {"AskedPowerState", "\r\n^SBC: 0,0,0\r\n\r\nOK\r\n", "AT^SBC?\r", nullptr, "\r\n^SBC: 0,0,0\r\n\r\nOK\r\n",
         {}, Unasked::Quiet},
        {"Shutdown", "^SHUTDOWN\r\n0\r", nullptr, nullptr, "0\r", {"^SHUTDOWN"}, Unasked::Shutdown},
        {"AirplaneStart", "\r\n^SYSSTART AIRPLANE MODE\r\n", nullptr, nullptr, "", {"^SYSSTART AIRPLANE MODE"},
         Unasked::Quiet},
        {"NotAtALineStart", "\r\n+CSQ: 2\r\n", nullptr, nullptr, "\r\n+CSQ: 2\r\n", {}, Unasked::Quiet},
        {"DigitsLineIsNoRing", "2\r\n0\r", nullptr, nullptr, "2\r\n0\r", {}, Unasked::Quiet},
        {"WholeLineOnly", "\r\nRINGS\r\n", nullptr, nullptr, "\r\nRINGS\r\n", {}, Unasked::Quiet},
        {"VerboseCutShort", "\r\nRDY\r", nullptr, nullptr, "\r\nRDY\r", {}, Unasked::Quiet},
        {"SeveralInOneRead", "\r\nRDY\r\n\r\n+CFUN: 1\r\n\r\n+CPIN: READY\r\nAT\r\r\nOK\r\n", "AT\r", nullptr,
         "AT\r\r\nOK\r\n", {"RDY", "+CFUN: 1", "+CPIN: READY"}, Unasked::Quiet},
        {"Named", "\r\nNO CARRIER\r\n\r\nRING\r\n", nullptr, "\r\nRING\r\n", "\r\nNO CARRIER\r\n\r\nRING\r\n", {},
         Unasked::Quiet},
    };
    for (const Case& c : cases) {
        const SetAside result =
            gSetAside(c.Gathered.data(), static_cast<int>(c.Gathered.size()), c.Command, c.Expected, nullptr);
        EXPECT_EQ(result.Bytes, c.Left) << c.Name;
        std::vector<std::string> lines;
        for (const UnaskedLine& line : result.Lines) lines.push_back(line.Text);
        EXPECT_EQ(lines, c.Lines) << c.Name;
        if (!result.Lines.empty()) {
            EXPECT_EQ(result.Lines.front().Kind, c.Kind) << c.Name;
        }
        // The test call, which takes a call's lines one by one, knows them by the same table.
        for (const UnaskedLine& line : result.Lines) EXPECT_EQ(gUnaskedKind(line.Text), line.Kind) << c.Name;
    }
    for (const char* callLine : {"CONNECT 9600", "NO CARRIER", "OK", "2", "RINGS"})
        EXPECT_EQ(gUnaskedKind(callLine), std::nullopt) << callLine;
}
