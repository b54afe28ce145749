#include <gtest/gtest.h>

#include <vector>

#include "sim/AtCommands.h"

namespace {

struct Case {
    const char* Line;
    const char* Reply;  // from a modem in factory state
};

// COM1's modem, as the virtual modem gives it its IMEI.
AtRules Com1() { return {.Imei = gImeiFor(1)}; }

std::string Answer(std::string_view line, ModemSettings& s, ModemSettings& stored, AtRules rules = Com1(),
                   SimState sim = SimState::Ready) {
    std::string_view body;
    if (!gCommandBody(line, body)) return "<not a command line>";
    SimCard card = gInsertCard(sim, "0000");
    return gFormatReply(gRunCommands(body, s, stored, card, rules), s);
}

TEST(AtCommands, AnswersEachLineFromTheTable) {
    const Case cases[] = {
        {"AT", "\r\nOK\r\n"},
        {"at", "\r\nOK\r\n"},
        {"At", "<not a command line>"},
        {"aT", "<not a command line>"},
        {"", "<not a command line>"},
        {"garbageAT", "\r\nOK\r\n"},
        {"ATE0V1&W", "\r\nOK\r\n"},
        {"ate0v1&w", "\r\nOK\r\n"},
        {"AT E0 &D 2", "\r\nOK\r\n"},
        {"ATE", "\r\nOK\r\n"},
        {"ATE2", "\r\nERROR\r\n"},
        {"ATV0", "0\r"},
        {"ATV0X9", "4\r"},
        {"ATQ1", ""},
        {"ATQ1E9", ""},
        {"ATX0", "\r\nOK\r\n"},
        {"ATX4", "\r\nOK\r\n"},
        {"ATX5", "\r\nERROR\r\n"},
        {"ATL3", "\r\nOK\r\n"},
        {"ATL4", "\r\nERROR\r\n"},
        {"AT&D0", "\r\nOK\r\n"},
        {"AT&D3", "\r\nERROR\r\n"},
        {"AT&F", "\r\nOK\r\n"},
        {"AT&F1", "\r\nERROR\r\n"},
        {"AT&W1", "\r\nERROR\r\n"},
        {"AT&Q", "\r\nERROR\r\n"},
        {"ATZ", "\r\nOK\r\n"},
        {"ATZ1", "\r\nERROR\r\n"},
        {"ATS0=2", "\r\nOK\r\n"},
        {"ATS0=256", "\r\nERROR\r\n"},
        {"ATS7=60", "\r\nOK\r\n"},
        {"ATS7=0", "\r\nERROR\r\n"},
        {"ATS7=", "\r\nERROR\r\n"},
        {"ATS7?", "\r\n060\r\n\r\nOK\r\n"},
        {"ATS3?", "\r\n013\r\n\r\nOK\r\n"},
        {"ATS4?", "\r\n010\r\n\r\nOK\r\n"},
        {"ATS9=1", "\r\nERROR\r\n"},
        {"ATS=1", "\r\nERROR\r\n"},
        {"ATS0", "\r\nERROR\r\n"},
        {"ATS7=99999999999", "\r\nERROR\r\n"},
        {"AT+IPR?", "\r\n+IPR: 115200\r\n\r\nOK\r\n"},
        {"AT+IPR=?", "\r\n+IPR: (0,1200,2400,4800,9600,14400,19200,38400,56000,57600,115200),()\r\n\r\nOK\r\n"},
        {"AT+IPR=9600", "\r\nOK\r\n"},
        {"AT+IPR=14400", "\r\nOK\r\n"},
        {"AT+IPR=56000", "\r\nOK\r\n"},
        {"AT+IPR=0", "\r\nOK\r\n"},
        {"AT+IPR=9601", "\r\nERROR\r\n"},
        {"AT+IPR=230400", "\r\nERROR\r\n"},
        {"AT+IPR=", "\r\nERROR\r\n"},
        {"AT+IPR", "\r\nERROR\r\n"},
        {"AT+IPR=9600;&W", "\r\nOK\r\n"},
        {"AT+CGMI", "\r\nCinterion\r\n\r\nOK\r\n"},
        {"AT+CGMM", "\r\nMC52i\r\n\r\nOK\r\n"},
        {"AT+CGMR", "\r\nREVISION 01.100\r\n\r\nOK\r\n"},
        {"AT+CGSN", "\r\n351998000000018\r\n\r\nOK\r\n"},
        {"at+cgsn=?", "\r\nOK\r\n"},
        {"AT+CGSN?", "\r\nERROR\r\n"},
        {"AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
        {"AT+CPIN=1234", "\r\n+CME ERROR: 3\r\n"},  // the ready card wants no PIN
        {"AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n"},
        {"AT+CREG?", "\r\n+CREG: 0,1\r\n\r\nOK\r\n"},
        {"AT+CREG=2", "\r\nERROR\r\n"},
        {"AT+CSQ;+CREG?", "\r\n+CSQ: 17,99\r\n\r\n+CREG: 0,1\r\n\r\nOK\r\n"},
        {"AT+CFUN=1", "\r\nOK\r\n"},
        {"AT+CFUN?", "\r\n+CFUN: 1\r\n\r\nOK\r\n"},
        {"AT+CFUN=0", "\r\nERROR\r\n"},
        {"AT+CFUN=1,2", "\r\nERROR\r\n"},
        {"ATD123;", "\r\nERROR\r\n"},  // a voice call
        {"ATD", "\r\nERROR\r\n"},
        {"ATH1", "\r\nERROR\r\n"},
        {"ATS12?", "\r\n050\r\n\r\nOK\r\n"},
        {"ATS12=256", "\r\nERROR\r\n"},
        {"AT?", "\r\nERROR\r\n"},
        // The network's word on a call: S18, +CRC, +CBST and +CEER.
        {"ATS18?", "\r\n000\r\n\r\nOK\r\n"},
        {"ATS18=1", "\r\nOK\r\n"},
        {"ATS18=256", "\r\nERROR\r\n"},
        {"AT+CRC?", "\r\n+CRC: 0\r\n\r\nOK\r\n"},
        {"AT+CRC=?", "\r\n+CRC: (0,1)\r\n\r\nOK\r\n"},
        {"AT+CRC=1;+CRC?", "\r\n+CRC: 1\r\n\r\nOK\r\n"},
        {"AT+CRC=2", "\r\nERROR\r\n"},
        {"AT+CBST?", "\r\n+CBST: 7,0,1\r\n\r\nOK\r\n"},
        {"AT+CBST=?", "\r\n+CBST: (0,4,6,7,14,68,70,71,75),(0),(1)\r\n\r\nOK\r\n"},
        {"AT+CBST=71,0,1;+CBST?", "\r\n+CBST: 71,0,1\r\n\r\nOK\r\n"},
        {"AT+CBST=71;+CBST?", "\r\n+CBST: 71,0,1\r\n\r\nOK\r\n"},
        {"AT+CBST=8", "\r\nERROR\r\n"},
        {"AT+CBST=7,1", "\r\nERROR\r\n"},
        {"AT+CBST=7,0,0", "\r\nERROR\r\n"},
        {"AT+CBST=", "\r\nERROR\r\n"},
        {"AT+CEER=?", "\r\nOK\r\n"},
        {"AT+CEER?", "\r\nERROR\r\n"},
    };
    for (const auto& c : cases) {
        ModemSettings s = gFactorySettings(115200);
        ModemSettings stored = s;
        EXPECT_EQ(Answer(c.Line, s, stored), c.Reply) << "line " << c.Line;
    }
}

TEST(AtCommands, ChainsRunLeftToRightAndStopAtTheFirstFault) {
    ModemSettings s = gFactorySettings(115200);
    ModemSettings stored = s;
    EXPECT_EQ(Answer("ATE0X9V0", s, stored), "\r\nERROR\r\n");
    EXPECT_FALSE(s.Echo);      // ran before the fault
    EXPECT_TRUE(s.Verbose);    // never reached

    EXPECT_EQ(Answer("ATX0&D0S0=2S7=90L1+IPR=9600;&W", s, stored), "\r\nOK\r\n");
    EXPECT_EQ(stored.ResultSet, 0);
    EXPECT_EQ(stored.DtrMode, 0);
    EXPECT_EQ(stored.AutoAnswer, 2);
    EXPECT_EQ(stored.CarrierWait, 90);
    EXPECT_EQ(stored.Loudness, 1);
    EXPECT_EQ(stored.Speed, 9600u);
    EXPECT_FALSE(stored.Echo);
}

TEST(AtCommands, FactoryDefaultsKeepTheInterfaceSpeedAndZBringsBackTheStoredProfile) {
    ModemSettings s = gFactorySettings(115200);
    ModemSettings stored = s;
    Answer("ATE0V0X0L2&D1S0=3S7=30S18=1+CRC=1+CBST=71+IPR=19200;&W", s, stored);
    Answer("AT&F", s, stored);
    EXPECT_EQ(s, gFactorySettings(19200));
    EXPECT_EQ(s.CauseReport, 0);
    EXPECT_FALSE(s.RingReport);
    EXPECT_EQ(s.BearerService, 7);
    Answer("ATZ", s, stored);
    EXPECT_EQ(s, stored);
    EXPECT_FALSE(s.Echo);
    EXPECT_EQ(s.CarrierWait, 30);
    EXPECT_EQ(s.CauseReport, 1);
    EXPECT_TRUE(s.RingReport);
    EXPECT_EQ(s.BearerService, 71);
}

TEST(AtCommands, WithoutSimAutoAnswerCannotBeSet) {
    ModemSettings s = gFactorySettings(115200);
    ModemSettings stored = s;
    EXPECT_EQ(Answer("ATS0=2", s, stored, AtRules{.NoSim = true}), "\r\nERROR\r\n");
    EXPECT_EQ(Answer("ATS0?", s, stored, AtRules{.NoSim = true}), "\r\n000\r\n\r\nOK\r\n");
    EXPECT_EQ(Answer("ATS7=60", s, stored, AtRules{.NoSim = true}), "\r\nOK\r\n");
}

// The answers to the check's questions follow the SIM card, the signal and the network
// the modem is given, in either result form.
TEST(AtCommands, QuestionsFollowTheModemsSituation) {
    const struct {
        AtRules Rules;
        SimState Sim;
        bool Verbose;
        const char* Line;
        const char* Reply;
    } cases[] = {
        {{.NoSim = true}, SimState::Ready, true, "AT+CPIN?", "\r\n+CME ERROR: 10\r\n"},
        {{.NoSim = true}, SimState::Ready, false, "AT+CPIN?", "+CME ERROR: 10\r\n"},
        {{.NoSim = true}, SimState::Ready, true, "AT+CREG?", "\r\n+CREG: 0,0\r\n\r\nOK\r\n"},
        {{}, SimState::PinNeeded, true, "AT+CPIN?", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
        {{}, SimState::PukNeeded, true, "AT+CPIN?", "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n"},
        {{}, SimState::PinNeeded, true, "AT+CREG?", "\r\n+CREG: 0,0\r\n\r\nOK\r\n"},
        {{.Signal = 99}, SimState::Ready, false, "AT+CSQ", "+CSQ: 99,99\r\n0\r"},
        {{.Signal = 3, .Network = Registration::Roaming}, SimState::Ready, true, "AT+CREG?", "\r\n+CREG: 0,5\r\n\r\nOK\r\n"},
        {{.Signal = 3, .Network = Registration::Denied, .Imei = "490154203237518"}, SimState::Ready, false, "AT+CGSN",
         "490154203237518\r\n0\r"},
    };
    for (const auto& c : cases) {
        ModemSettings s = gFactorySettings(9600);
        s.Verbose = c.Verbose;
        ModemSettings stored = s;
        EXPECT_EQ(Answer(c.Line, s, stored, c.Rules, c.Sim), c.Reply) << c.Line;
    }
    EXPECT_EQ(gImeiFor(3), "351998000000034");
    EXPECT_EQ(gImeiFor(16), "351998000000166");
}

TEST(AtCommands, ResultsAreFramedByTheLineEndRegisters) {
    ModemSettings s = gFactorySettings(115200);
    ModemSettings stored = s;
    EXPECT_EQ(Answer("ATS4=13", s, stored), "\r\rOK\r\r");
    EXPECT_EQ(Answer("ATV0", s, stored), "0\r");
}

}  // namespace

namespace {

// Conversations with one card, from power-on: each line with the answer the modem gives.
TEST(AtCommands, TheCardKeepsItsPinTriesAndLock) {
    struct Exchange {
        const char* Line;
        const char* Reply;
    };
    const struct {
        const char* Name;
        SimState Sim;
        std::vector<Exchange> Talk;
        bool LockFixed = false;
    } cases[] = {
        {"RightPinThenLockOff", SimState::PinNeeded,
         {{"AT+CPIN?", "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CME ERROR: 11\r\n"},
          {"AT+CPIN=\"1234\"", "\r\nOK\r\n"},
          {"AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"1234\"", "\r\n+CME ERROR: 3\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CLCK: 1\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",0,\"1234\"", "\r\nOK\r\n"},
          {"ATZ", "\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CLCK: 0\r\n\r\nOK\r\n"}}},
        {"ThreeWrongPinsWantThePuk", SimState::PinNeeded,
         {{"AT+CPIN=\"1111\"", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPINR=\"SIM PIN\"", "\r\n+CPINR: SIM PIN,2,3\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"2222\"", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN=\"3333\"", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN?", "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n"},
          {"AT+CPIN=\"1234\"", "\r\n+CME ERROR: 12\r\n"},
          {"AT+CLCK=\"SC\",0,\"1234\"", "\r\n+CME ERROR: 12\r\n"},
          {"AT+CPINR", "\r\n+CPINR: SIM PIN,0,3\r\n\r\n+CPINR: SIM PUK,10,10\r\n\r\nOK\r\n"}}},
        {"ARightPinFillsTheTriesAgain", SimState::PinNeeded,
         {{"AT+CPIN=\"9999\"", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CPIN=\"1234\"", "\r\nOK\r\n"},
          {"AT+CPINR=\"SIM PIN\"", "\r\n+CPINR: SIM PIN,3,3\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",0,\"9999\"", "\r\n+CME ERROR: 16\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CLCK: 1\r\n\r\nOK\r\n"},
          {"AT+CPINR=\"SIM PIN\"", "\r\n+CPINR: SIM PIN,2,3\r\n\r\nOK\r\n"}}},
        {"ReadyCardWithoutRequest", SimState::Ready,
         {{"AT+CPIN?", "\r\n+CPIN: READY\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CLCK: 0\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",1,\"1234\"", "\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",2;+CPIN?", "\r\n+CLCK: 1\r\n\r\n+CPIN: READY\r\n\r\nOK\r\n"},
          {"AT+CLCK=\"PN\",2", "\r\n+CME ERROR: 4\r\n"},
          {"AT+CLCK=\"SC\",0", "\r\n+CME ERROR: 3\r\n"}}},
        {"FixedRequestTakesThePinButStays", SimState::PinNeeded,
         {{"AT+CPIN=\"1234\"", "\r\nOK\r\n"},
          {"AT+CLCK=\"SC\",0,\"1234\"", "\r\nERROR\r\n"},
          {"AT+CLCK=\"SC\",2", "\r\n+CLCK: 1\r\n\r\nOK\r\n"},
          {"AT+CPINR=\"SIM PIN\"", "\r\n+CPINR: SIM PIN,3,3\r\n\r\nOK\r\n"}},
         true},
    };
    for (const auto& c : cases) {
        ModemSettings s = gFactorySettings(9600);
        ModemSettings stored = s;
        SimCard card = gInsertCard(c.Sim, "1234");
        card.LockFixed = c.LockFixed;
        for (const Exchange& e : c.Talk) {
            std::string_view body;
            ASSERT_TRUE(gCommandBody(e.Line, body));
            EXPECT_EQ(gFormatReply(gRunCommands(body, s, stored, card, {}), s), e.Reply) << c.Name << ": " << e.Line;
        }
    }
}

}  // namespace
