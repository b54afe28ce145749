// How an answer to a question ends: every final result code of V.250 and 27.007 and the
// vendors' forms (ModemManager, src/mm-serial-parsers.c) ends it, OK as the answer and any
// other as the modem's refusal in its words; what follows the code is not the answer, and
// a verbose line of digits is information however it arrives.

#include <gtest/gtest.h>

#include "serial/ReplyParser.h"

namespace {

InfoReply Parse(const std::string& gathered) {
    return gParseInfoReply(gathered.data(), static_cast<int>(gathered.size()), "AT+CGMM\r");
}

struct EndCase {
    std::string Gathered;
    ReplyCode Code;
    const char* Final;
    std::vector<std::string> Lines;
    int CmeError;
};

TEST(FinalCodeTest, EveryCodeEndsTheAnswer) {
    const EndCase cases[] = {
        {"\r\nMC52i\r\n\r\nOK\r\n", Ok, "OK", {"MC52i"}, -1},
        {"MC52i\r\n0\r", Ok, "OK", {"MC52i"}, -1},
        {"\r\nERROR\r\n", ModemError, "ERROR", {}, -1},
        {"4\r", ModemError, "ERROR", {}, -1},
        {"\r\nCONNECT\r\n", ModemError, "CONNECT", {}, -1},
        {"\r\nCONNECT 9600\r\n", ModemError, "CONNECT 9600", {}, -1},
        {"49\r", ModemError, "CONNECT 9600", {}, -1},  // the MC55 family's numeric CONNECT 9600
        {"1\r", ModemError, "CONNECT", {}, -1},
        {"\r\nNO CARRIER\r\n", ModemError, "NO CARRIER", {}, -1},
        {"3\r", ModemError, "NO CARRIER", {}, -1},
        {"\r\nNO DIALTONE\r\n", ModemError, "NO DIALTONE", {}, -1},
        {"6\r", ModemError, "NO DIALTONE", {}, -1},
        {"\r\nBUSY\r\n", ModemError, "BUSY", {}, -1},
        {"7\r", ModemError, "BUSY", {}, -1},
        {"\r\nNO ANSWER\r\n", ModemError, "NO ANSWER", {}, -1},
        {"8\r", ModemError, "NO ANSWER", {}, -1},
        {"\r\n+CME ERROR: 10\r\n", ModemError, "+CME ERROR: 10", {}, 10},
        {"\r\n+CME ERROR: SIM not inserted\r\n", ModemError, "+CME ERROR: SIM not inserted", {}, -1},
        {"\r\n+CMS ERROR: 310\r\n", ModemError, "+CMS ERROR: 310", {}, -1},
        {"\r\nCOMMAND NOT SUPPORT\r\n", ModemError, "COMMAND NOT SUPPORT", {}, -1},
        {"\r\nMODEM ERROR: 5\r\n", ModemError, "MODEM ERROR: 5", {}, -1},
        // More after the code, in the same read: a stray line, and unsolicited lines of
        // 27.007 (new message, indicator, ring with its type, caller's number).
        {"\r\nERROR\r\n\r\nstray\r\n", ModemError, "ERROR", {}, -1},
        {"\r\nMC52i\r\n\r\nOK\r\n\r\n+CMTI: \"SM\",1\r\n", Ok, "OK", {"MC52i"}, -1},
        {"\r\nMC52i\r\n\r\nOK\r\n\r\n+CIEV: 1,3\r\n", Ok, "OK", {"MC52i"}, -1},
        {"\r\nMC52i\r\n\r\nOK\r\n\r\n+CRING: VOICE\r\n", Ok, "OK", {"MC52i"}, -1},
        {"\r\nMC52i\r\n\r\nOK\r\n\r\n+CLIP: \"+4917012345\",145\r\n", Ok, "OK", {"MC52i"}, -1},
        {"\r\nMC52i\r\n\r\nOK\r\n\r\n+CMT", Ok, "OK", {"MC52i"}, -1},
        {"MC52i\r\n0\r+CMTI: \"SM\",1\r\n", Ok, "OK", {"MC52i"}, -1},
        // A model of digits alone is information, not the numeric NO ANSWER.
        {"\r\n88\r\n\r\nOK\r\n", Ok, "OK", {"88"}, -1},
        {"\r\n3\r\n\r\nOK\r\n", Ok, "OK", {"3"}, -1},
    };
    for (const EndCase& c : cases) {
        const InfoReply reply = Parse(c.Gathered);
        ASSERT_TRUE(reply.Complete) << c.Gathered;
        EXPECT_EQ(reply.Code, c.Code) << c.Gathered;
        EXPECT_EQ(reply.Final, c.Final) << c.Gathered;
        EXPECT_EQ(reply.Lines, c.Lines) << c.Gathered;
        EXPECT_EQ(reply.CmeError, c.CmeError) << c.Gathered;
    }
}

// A verbose line of digits may arrive in any pieces: no piece before its reply's OK ends
// the answer, whatever its digits.
TEST(FinalCodeTest, VerboseDigitsInPiecesAreNeverACode) {
    for (const std::string model : {"88", "3", "7", "0", "4", "1"}) {
        const std::string gathered = "AT+CGMM\r\r\n" + model + "\r\n\r\nOK\r\n";
        const int okAt = static_cast<int>(gathered.size()) - 4;
        for (int cut = 0; cut < okAt; ++cut)
            EXPECT_FALSE(gParseInfoReply(gathered.data(), cut, "AT+CGMM\r").Complete) << model << " cut at " << cut;
        EXPECT_EQ(Parse(gathered).Lines, std::vector<std::string>{model});
    }
}

TEST(FinalCodeTest, TextThatIsNoCodeDoesNotEndTheAnswer) {
    for (const std::string gathered : {"\r\nOK\r", "\r\nOKAY\r\n", "\r\nNO CARRIERS\r\n", "\r\nCONNECTED\r\n",
                                       "\r\n+CME ERRORS\r\n", "5\r", "9\r", "88\r", "+CSQ: 10,99\r"}) {
        EXPECT_FALSE(Parse(gathered).Complete) << gathered;
    }
}

}  // namespace
