// The rows of the check and the reading of the meter for the answers real modems gave
// (tests/engine/RealAnswers.h), read as the port reads them: echo, unsolicited lines set
// aside, then the information reply. tests/engine/RealAnswersTest.cpp sends the same
// answers from the virtual modem.

#include <gtest/gtest.h>

#include "engine/BusyRetry.h"
#include "engine/CheckRows.h"
#include "engine/SignalValue.h"
#include "serial/ReplyParser.h"
#include "tests/engine/RealAnswers.h"

namespace {

InfoReply Read(const char* command, const std::string& bytes) {
    const std::string gathered = command + bytes;
    const SetAside clean =
        gSetAside(gathered.data(), static_cast<int>(gathered.size()), command, nullptr, nullptr, Reading::Information);
    return gParseInfoReply(clean.Bytes.data(), static_cast<int>(clean.Bytes.size()), command);
}

InfoReply ReadOk(const char* command, const std::string& answer) {
    return Read(command, "\r\n" + answer + "\r\n\r\nOK\r\n");
}

TEST(AnswerRows, RegistrationInTheRowAndTheMeter) {
    const InfoReply csq = ReadOk("AT+CSQ\r", "+CSQ: 17,99");
    for (const RealAnswer& a : RegistrationAnswers()) {
        const InfoReply creg = ReadOk("AT+CREG?\r", a.Answer);
        EXPECT_EQ(gRegistrationRow(creg), "Регистрация в сети: " + a.Words) << a.Source << ": " << a.Answer;
        const std::optional<SignalReading> reading = gSignalReading(csq, creg);
        ASSERT_TRUE(reading) << a.Source;
        EXPECT_EQ(reading->Registration, a.Words) << a.Source << ": " << a.Answer;
    }
}

TEST(AnswerRows, SimCard) {
    for (const RealAnswer& a : SimAnswers())
        EXPECT_EQ(gSimRow(ReadOk("AT+CPIN?\r", a.Answer)), "SIM-карта: " + a.Words) << a.Source << ": " << a.Answer;
}

TEST(AnswerRows, Imei) {
    for (const RealAnswer& a : ImeiAnswers()) {
        const InfoReply answer = ReadOk("AT+CGSN\r", a.Answer);
        EXPECT_EQ(gImeiRow(answer), "IMEI: " + a.Words) << a.Source << ": " << a.Answer;
        EXPECT_EQ(gImeiOf(answer).value_or(""), a.Words.find(' ') == std::string::npos ? a.Words : "") << a.Source;
    }
}

TEST(AnswerRows, EveryRefusalIsTheModemsInItsWords) {
    for (const RealRefusal& r : RefusalAnswers()) {
        const InfoReply answer = Read("AT+CGSN\r", r.Bytes);
        EXPECT_EQ(answer.Code, ModemError) << r.Source;
        EXPECT_EQ(gImeiRow(answer), "IMEI: " + r.Words) << r.Source;
    }
}

// A modem still starting (+CME ERROR: 515) or reading its SIM (14) is asked again after a
// pause, a few times; any other answer is taken as it is.
TEST(AnswerRows, BusyModemIsAskedAgain) {
    struct Case {
        const char* Name;
        std::vector<std::string> Finals;  // the modem's answers in turn
        int Asked;
        std::string Final;
    };
    const Case cases[] = {
        {"answer at once", {"OK"}, 1, "OK"},
        {"starting, then the answer", {"+CME ERROR: 515", "+CME ERROR: 515", "OK"}, 3, "OK"},
        {"SIM busy, then the answer", {"+CME ERROR: 14", "OK"}, 2, "OK"},
        {"SIM busy in words", {"+CME ERROR: SIM busy", "OK"}, 2, "OK"},
        {"busy for ever", {"+CME ERROR: 515"}, BusyAttempts, "+CME ERROR: 515"},
        {"another refusal", {"+CME ERROR: 10"}, 1, "+CME ERROR: 10"},
        {"ERROR", {"ERROR"}, 1, "ERROR"},
    };
    for (const Case& c : cases) {
        int asked = 0;
        std::vector<uint32_t> pauses;
        InfoReply answer;
        gAskWhileBusy(
            [&](InfoReply& reply) {
                const std::string& final = c.Finals[std::min<size_t>(asked++, c.Finals.size() - 1)];
                const std::string bytes = "\r\n" + final + "\r\n";
                reply = gParseInfoReply(bytes.data(), static_cast<int>(bytes.size()), nullptr);
                return reply.Code;
            },
            [&](uint32_t ms) { pauses.push_back(ms); }, answer);
        EXPECT_EQ(asked, c.Asked) << c.Name;
        EXPECT_EQ(pauses, std::vector<uint32_t>(static_cast<size_t>(c.Asked - 1), BusyPauseMs)) << c.Name;
        EXPECT_EQ(answer.Final, c.Final) << c.Name;
    }
}

// The card's state where a modem gives +CME ERROR for AT+CPIN?, by number and in words.
TEST(AnswerRows, SimCardFromTheModemsError) {
    struct Case {
        const char* Bytes;
        const char* Words;
    };
    const Case cases[] = {
        {"\r\n+CME ERROR: 10\r\n", "не вставлена"},
        {"\r\n+CME ERROR: SIM not inserted\r\n", "не вставлена"},
        {"\r\n+CME ERROR: 11\r\n", "нужен PIN-код"},
        {"\r\n+CME ERROR: SIM PUK required\r\n", "нужен PUK-код"},
        {"\r\n+CME ERROR: 13\r\n", "неисправна"},
        {"\r\n+CME ERROR: SIM busy\r\n", "занята"},
        {"\r\n+CME ERROR: 18\r\n", "нужен PUK2-код"},
        {"\r\n+CME ERROR: network personalization PIN required\r\n", "нужен код разблокировки сети (PH-NET PIN)"},
        {"\r\n+CME ERROR: 100\r\n", "модем выдал сообщение \"+CME ERROR: 100\""},
        {"\r\nERROR\r\n", "не поддерживается"},
    };
    for (const Case& c : cases) EXPECT_EQ(gSimRow(Read("AT+CPIN?\r", c.Bytes)), std::string("SIM-карта: ") + c.Words) << c.Bytes;
}

// Never a wrong state: an answer the check cannot read is shown as the modem wrote it.
TEST(AnswerRows, UnreadableAnswersSaySo) {
    struct Case {
        std::string (*Row)(const InfoReply&);
        const char* Command;
        const char* Answer;
        const char* Row_;
    };
    const Case cases[] = {
        {gRegistrationRow, "AT+CREG?\r", "+CREG: 0,12", "Регистрация в сети: не удалось прочитать \"+CREG: 0,12\""},
        {gRegistrationRow, "AT+CREG?\r", "+CREG: 2,x", "Регистрация в сети: не удалось прочитать \"+CREG: 2,x\""},
        {gRegistrationRow, "AT+CREG?\r", "+CREG: \"1\"", "Регистрация в сети: не удалось прочитать \"+CREG: \"1\"\""},
        {gRegistrationRow, "AT+CREG?\r", "registered", "Регистрация в сети: не удалось прочитать \"registered\""},
        {gSimRow, "AT+CPIN?\r", "+CPIN: NOT READY", "SIM-карта: не удалось прочитать \"+CPIN: NOT READY\""},
        {gImeiRow, "AT+CGSN\r", "35693600156884", "IMEI: не удалось прочитать \"35693600156884\""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.Row(ReadOk(c.Command, c.Answer)), c.Row_) << c.Answer;
}

}  // namespace
