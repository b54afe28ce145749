// The console's --sim-pin against the virtual modem, one table of card states: what the
// operator sees, the exit status, what reached the card and what the card is left as;
// and in every case the PIN shows nowhere the operator or a file could see it.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "engine/Format.h"
#include "engine/Messages.h"
#include "engine/PinRows.h"
#include "sim/VirtualModem.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempConfigHome.h"

namespace {

constexpr const char* SentPin = "AT+CPIN=\"1234\"\r";
constexpr const char* SentUnlock = "AT+CLCK=\"SC\",0,";

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits until the modem has received part, byte by byte as it comes.
bool WaitForReceived(const VirtualModem& modem, const std::string& part) {
    for (;;) {
        const std::string received = modem.ReceivedBytes();
        if (received.find(part) != std::string::npos) return true;
        if (!modem.WaitForReceivedBytes(received.size() + 1, std::chrono::seconds(20))) return false;
    }
}

struct SimPinTest : ::testing::Test {
    TempConfigHome Home;
    std::string Profile = Home.Path() + "/modem-profile";
    std::string Report = Home.Path() + "/report.csv";

    VirtualModemOptions Card(int com) const {
        VirtualModemOptions o;
        o.ComNumber = com;
        o.Speed = 9600;
        o.Mismatch = MismatchMode::Silent;
        o.Pin = "1234";
        o.Sim = SimState::PinNeeded;
        return o;
    }
};

TEST_F(SimPinTest, EachCardStateGetsItsOwnEnding) {
    const struct {
        const char* Name;
        std::function<void(VirtualModemOptions&)> Change;
        const char* CardInProfile;  // "SC lock=1 tries=1": a card down to its last try
        std::string Input;
        int Exit;
        std::vector<std::string> Shown;  // in stdout, in this order
        size_t PinsSent;                 // AT+CPIN="1234"
        bool UnlockSent;
        bool LockAfter;
        int TriesAfter;
        int Com = 4;                     // the modem is on COM4
    } cases[] = {
        {"RightPin", nullptr, nullptr, "1234\n", 0,
         {"Выполнение команды AT+CPIN?", "Получен ответ \"+CPIN: SIM PIN OK\"",
          "Выполнение команды AT+CPIN=\"****\"", "Получен ответ \"OK\"",
          "Выполнение команды AT+CLCK=\"SC\",0,\"****\"", "Получен ответ \"+CLCK: 0 OK\"",
          "Получен ответ \"+CPIN: READY OK\"", PinMsg::TurnedOff, Msg::Succeeded},
         1, true, false, 3},
        {"WrongPinTellsTheTriesLeft", nullptr, nullptr, "4321\n", 1,
         {"Получен ответ \"+CME ERROR: 16\"", "Выполнение команды AT+CPINR=\"SIM PIN\"",
          "PIN-код неверен! Осталось попыток: 2.", Msg::NotSucceeded},
         0, false, true, 2},
        {"PukCardGetsNoPin", [](auto& o) { o.Sim = SimState::PukNeeded; }, nullptr, "1234\n", 1,
         {"Получен ответ \"+CPIN: SIM PUK OK\"", PinMsg::PukNeeded, Msg::NotSucceeded}, 0, false, true, 0},
        {"CardAlreadyWithoutRequest", [](auto& o) { o.Sim = SimState::Ready; }, nullptr, "1234\n", 0,
         {"Получен ответ \"+CPIN: READY OK\"", "Получен ответ \"+CLCK: 0 OK\"", PinMsg::AlreadyOff, Msg::Succeeded},
         0, false, false, 3},
        {"RequestKeptFromTheLastPowerOn", [](auto& o) { o.Sim = SimState::Ready; }, "SC lock=1 tries=3",
         "1234\n", 0, {"Получен ответ \"+CPIN: SIM PIN OK\"", PinMsg::TurnedOff, Msg::Succeeded}, 1, true, false, 3},
        {"LastTryNotAgreed", nullptr, "SC lock=1 tries=1", "1234\n", 1,
         {"Получен ответ \"+CPINR: SIM PIN,1,3 OK\"", PinMsg::Declined, Msg::NotSucceeded}, 0, false, true, 1},
        {"LastTryRefused", nullptr, "SC lock=1 tries=1", "1234\nнет\n", 1, {PinMsg::Declined, Msg::NotSucceeded},
         0, false, true, 1},
        {"LastTryAgreed", nullptr, "SC lock=1 tries=1", "1234\nда\n", 0, {PinMsg::TurnedOff, Msg::Succeeded}, 1,
         true, false, 3},
        {"ErrorToTheUnlockAfterARightPin", [](auto& o) { o.LockFixed = true; }, nullptr, "1234\n", 1,
         {"Выполнение команды AT+CLCK=\"SC\",0,\"****\"", "Получен ответ \"ERROR\"", PinMsg::NotTurnedOff,
          Msg::NotSucceeded},
         1, true, true, 3},
        {"ModemDiesInTheSearch", [](auto& o) { o.HangupAfter = 1; }, nullptr, "1234\n", 1,
         {PinMsg::PortFailed, Msg::NotSucceeded}, 0, false, true, 3},
        {"ModemDiesMidJob", [](auto& o) { o.HangupAfter = 2; }, nullptr, "1234\n", 1,
         {"Выполнение команды AT+CPIN?", PinMsg::PortFailed, Msg::NotSucceeded}, 0, false, true, 3},
        {"PortThatDoesNotOpen", nullptr, nullptr, "1234\n", 3, {"Открытие СОМ9"}, 0, false, true, 3, 9},
        {"LettersInThePin", nullptr, nullptr, "12a4\n", 2, {}, 0, false, true, 3},
        {"ThreeDigits", nullptr, nullptr, "123\n", 2, {}, 0, false, true, 3},
        {"NineDigits", nullptr, nullptr, "123456789\n", 2, {}, 0, false, true, 3},
        {"NoPinAtAll", nullptr, nullptr, "", 2, {}, 0, false, true, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(Profile);
        std::filesystem::remove(Report);
        VirtualModemOptions o = Card(4);
        o.ProfileFile = Profile;
        if (c.Change) c.Change(o);
        if (c.CardInProfile) std::ofstream(Profile) << "ATE1V1X4L0&D2S0=0S7=60+IPR=9600\n" << c.CardInProfile << "\n";
        VirtualModem modem(o);
        ASSERT_EQ(modem.Start(), "");
        CliProcess cli({"--com", std::to_string(c.Com), "--sim-pin", "--report", Report}, c.Input);
        EXPECT_EQ(cli.Wait(), c.Exit);
        const std::string out = cli.Stdout();
        const std::string err = cli.Stderr();
        size_t at = 0;
        for (const std::string& row : c.Shown) {
            at = out.find(row, at);
            EXPECT_NE(at, std::string::npos) << row << "\n" << out;
        }
        const std::string received = modem.ReceivedBytes();
        if (c.Exit == 2) {
            EXPECT_NE(err.find(PinMsg::BadPin), std::string::npos) << err;
            EXPECT_EQ(out, "");
            EXPECT_EQ(received, "");
            EXPECT_FALSE(std::filesystem::exists(Report));
        }
        EXPECT_EQ(Count(received, SentPin), c.PinsSent) << received;
        EXPECT_EQ(received.find(SentUnlock) != std::string::npos, c.UnlockSent) << received;
        // Never a second guess: one PIN command at most, and none to a card that wants its PUK.
        EXPECT_LE(Count(received, "AT+CPIN=\""), 1u) << received;
        const std::string report = Slurp(Report);
        for (const char* secret : {"1234", "4321"}) {
            EXPECT_EQ(out.find(secret), std::string::npos) << out;
            EXPECT_EQ(err.find(secret), std::string::npos) << err;
            EXPECT_EQ(report.find(secret), std::string::npos) << report;
            EXPECT_EQ(Slurp(Profile).find(secret), std::string::npos);
        }
        modem.Stop();
        EXPECT_EQ(modem.Card().Lock, c.LockAfter);
        EXPECT_EQ(modem.Card().Tries, c.TriesAfter);
        // What the card keeps over a power cut is what it was left as.
        if (c.PinsSent > 0 || c.UnlockSent) {
            VirtualModem restarted(o);
            ASSERT_EQ(restarted.Start(), "");
            EXPECT_EQ(restarted.Card().Lock, c.LockAfter);
        }
    }
}

// A stop while the card checks the PIN: the command went out whole, its answer was waited
// for and shown, and nothing followed it.
TEST_F(SimPinTest, AStopNeverLeavesThePinHalfSent) {
    VirtualModemOptions o = Card(5);
    o.DelayMs = 300;
    VirtualModem modem(o);
    ASSERT_EQ(modem.Start(), "");
    CliProcess cli({"--com", "5", "--sim-pin"}, std::string("1234\n"));
    ASSERT_TRUE(WaitForReceived(modem, SentPin));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    const std::string out = cli.Stdout();
    const size_t sent = out.find("Выполнение команды AT+CPIN=\"****\"");
    EXPECT_NE(out.find("Получен ответ \"OK\"", sent), std::string::npos) << out;
    EXPECT_NE(out.find(Msg::NotSucceeded), std::string::npos) << out;
    const std::string received = modem.ReceivedBytes();
    EXPECT_EQ(Count(received, SentPin), 1u) << received;
    EXPECT_EQ(received.find(SentUnlock), std::string::npos) << received;
    EXPECT_EQ(out.find("1234"), std::string::npos) << out;
    modem.Stop();
    // The card took the PIN, so it is not a try down, and it still asks at power-on.
    EXPECT_EQ(modem.Card().Tries, 3);
    EXPECT_TRUE(modem.Card().Lock);
}

// A reader that closes the output (| head -2) stops the job as Ctrl+C does: status 1,
// and the card never gets a PIN cut short or the request turned off behind the operator.
TEST_F(SimPinTest, AClosedOutputStopsItAsCtrlCDoes) {
    VirtualModemOptions o = Card(8);
    o.DelayMs = 300;
    VirtualModem modem(o);
    ASSERT_EQ(modem.Start(), "");
    ChildProcess cli("/bin/bash", {"-c", "\"$0\" --com 8 --sim-pin | head -2; exit ${PIPESTATUS[0]}", KX_CLI_PATH},
                     std::string("1234\n"));
    EXPECT_EQ(cli.Wait(), 1);
    modem.Stop();
    const std::string received = modem.ReceivedBytes();
    EXPECT_EQ(received.find(SentUnlock), std::string::npos) << received;
    EXPECT_EQ(modem.Card().Tries, 3);
    EXPECT_TRUE(modem.Card().Lock);
}

// Several ports: the PIN is asked for once and each card gets it once.
TEST_F(SimPinTest, OnePinForEveryPort) {
    VirtualModem first(Card(6));
    VirtualModem second(Card(7));
    ASSERT_EQ(first.Start(), "");
    ASSERT_EQ(second.Start(), "");
    CliProcess cli({"--com", "6,7", "--sim-pin"}, std::string("1234\n"));
    EXPECT_EQ(cli.Wait(), 0);
    EXPECT_EQ(Count(cli.Stderr(), "PIN-код SIM-карты:"), 1u) << cli.Stderr();
    EXPECT_EQ(Count(cli.Stdout(), PinMsg::TurnedOff), 2u) << cli.Stdout();
    for (const VirtualModem* modem : {&first, &second}) {
        EXPECT_EQ(Count(modem->ReceivedBytes(), SentPin), 1u);
        EXPECT_FALSE(modem->Card().Lock);
    }
}

}  // namespace
