// What the modem check writes for the answers the virtual modem never gives: other
// forms, error codes, the edges of the signal scale. (tests/engine/ModemCheckTest.cpp
// takes each state of the virtual modem through a real check.)

#include <gtest/gtest.h>

#include "engine/CheckRows.h"

namespace {

InfoReply Answer(std::vector<std::string> lines) {
    InfoReply r;
    r.Complete = true;
    r.Code = Ok;
    r.Lines = std::move(lines);
    return r;
}

InfoReply Code(ReplyCode code, int cme = -1) {
    InfoReply r;
    r.Complete = code != TimedOut;
    r.Code = code;
    r.CmeError = cme;
    return r;
}

struct RowCase {
    std::string (*Row)(const InfoReply&);
    InfoReply Reply;
    const char* Expected;
};

TEST(CheckRows, OneRowPerAnswer) {
    const RowCase cases[] = {
        {gImeiRow, Answer({"+CGSN: 351998000000034"}), "IMEI: 351998000000034"},
        {gImeiRow, Code(ModemError), "IMEI: не поддерживается"},
        {gImeiRow, Code(TimedOut), "IMEI: нет ответа"},
        {gImeiRow, Answer({}), "IMEI: не поддерживается"},
        {gSimRow, Answer({"+CPIN: PH-SIM PIN"}), "SIM-карта: нужен код привязки модема к SIM-карте (PH-SIM PIN)"},
        {gSimRow, Code(ModemError, 11), "SIM-карта: нужен PIN-код"},
        {gSimRow, Code(ModemError, 12), "SIM-карта: нужен PUK-код"},
        {gSimRow, Code(ModemError, 100), "SIM-карта: не поддерживается"},
        {gSimRow, Code(ModemError), "SIM-карта: не поддерживается"},
        {gSignalRow, Answer({"+CSQ: 0,99"}), "Уровень сигнала: -113 дБм, нет сигнала"},
        {gSignalRow, Answer({"+CSQ: 10,0"}), "Уровень сигнала: -93 дБм, средний"},
        {gSignalRow, Answer({"+CSQ: 31,99"}), "Уровень сигнала: -51 дБм, отличный"},
        {gSignalRow, Answer({"+CSQ: x"}), "Уровень сигнала: x"},
        {gSignalRow, Code(ModemError), "Уровень сигнала: не поддерживается"},
        {gRegistrationRow, Answer({"+CREG: 2,5,\"00C3\",\"1A2B\""}), "Регистрация в сети: роуминг"},
        {gRegistrationRow, Answer({"+CREG: 1"}), "Регистрация в сети: домашняя сеть"},
        {gRegistrationRow, Code(TimedOut), "Регистрация в сети: нет ответа"},
    };
    for (const RowCase& c : cases) {
        EXPECT_EQ(c.Row(c.Reply), c.Expected) << (c.Reply.Lines.empty() ? "" : c.Reply.Lines[0]);
    }
}

TEST(CheckRows, IdentityJoinsThreeAnswersDecodedFromTheModemsCodePage) {
    EXPECT_EQ(gIdentityRow(Answer({"Cinterion"}), Answer({"MC52i"}), Answer({"REVISION 01.100"})),
              "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100");
    EXPECT_EQ(gIdentityRow(Answer({"\xCC\xEE\xE4\xE5\xEC"}), Code(ModemError), Code(TimedOut)),
              "Изготовитель: Модем; модель: не поддерживается; версия: нет ответа");
}

}  // namespace
