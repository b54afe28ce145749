// The console's --sim-pin against the virtual modem, one table of card states: what the
// operator sees, the exit status, what reached the card and what the card is left as;
// and in every case the PIN shows nowhere.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/Messages.h"
#include "engine/PinRows.h"
#include "engine/Format.h"
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

struct SimPinTest : ::testing::Test {
    TempConfigHome Home;
    std::string Profile = Home.PortsFolder() + "/../modem-profile";
};

TEST_F(SimPinTest, EachCardStateGetsItsOwnEnding) {
    const struct {
        const char* Name;
        std::function<void(VirtualModemOptions&)> Card;
        const char* TriesInProfile;  // "SC lock=1 tries=1": a card down to its last try
        std::string Input;
        int Exit;
        std::vector<std::string> Shown;  // in stdout, in this order
        size_t PinsSent;
        bool UnlockSent;
        bool LockAfter;
        int TriesAfter;
    } cases[] = {
        {"RightPin", [](auto& o) { o.Pin = "1234"; o.Sim = SimState::PinNeeded; }, nullptr, "1234\n", 0,
         {"Выполнение команды AT+CPIN=\"****\"", "Выполнение команды AT+CLCK=\"SC\",0,\"****\"", PinMsg::TurnedOff,
          Msg::Succeeded},
         1, true, false, 3},
        {"WrongPinTellsTheTriesLeft", [](auto& o) { o.Pin = "1234"; o.Sim = SimState::PinNeeded; }, nullptr,
         "4321\n", 1, {"Получен ответ \"+CME ERROR: 16\"", "PIN-код неверен! Осталось попыток: 2.", Msg::NotSucceeded},
         0, false, true, 2},
        {"PukCardGetsNoPin", [](auto& o) { o.Sim = SimState::PukNeeded; }, nullptr, "1234\n", 1,
         {PinMsg::PukNeeded, Msg::NotSucceeded}, 0, false, true, 0},
        {"CardAlreadyWithoutRequest", [](auto& o) { o.Pin = "1234"; o.Sim = SimState::Ready; }, nullptr, "1234\n",
         0, {"Получен ответ \"+CLCK: 0 OK\"", PinMsg::AlreadyOff, Msg::Succeeded}, 0, false, false, 3},
        {"ReadyCardStillAskingAtPowerOn", [](auto& o) { o.Pin = "1234"; o.Sim = SimState::Ready; },
         "SC lock=1 tries=3", "1234\n", 1, {"Получен ответ \"+CPIN: SIM PIN OK\"", PinMsg::TurnedOff}, 1, true, false, 3},
        {"LastTryNotAgreed", [](auto& o) { o.Pin = "1234"; }, "SC lock=1 tries=1", "1234\n", 1,
         {"Получен ответ \"+CPINR: SIM PIN,1,3 OK\"", PinMsg::Declined, Msg::NotSucceeded}, 0, false, true, 1},
        {"LastTryAgreed", [](auto& o) { o.Pin = "1234"; }, "SC lock=1 tries=1", "1234\nда\n", 0,
         {PinMsg::TurnedOff, Msg::Succeeded}, 1, true, false, 3},
        {"MalformedPinOpensNoPort", [](auto& o) { o.Pin = "1234"; }, nullptr, "12a4\n", 2, {}, 0, false, true, 3},
        {"ModemDiesMidJob", [](auto& o) { o.Pin = "1234"; o.HangupAfter = 2; }, nullptr, "1234\n", 1,
         {Msg::NotSucceeded}, 0, false, true, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove(Profile);
        VirtualModemOptions o;
        o.ComNumber = 4;
        o.Speed = 9600;
        o.Mismatch = MismatchMode::Silent;
        o.ProfileFile = Profile;
        c.Card(o);
        if (c.TriesInProfile) std::ofstream(Profile) << "ATE1V1X4L0&D2S0=0S7=60+IPR=9600\n" << c.TriesInProfile << "\n";
        VirtualModem modem(o);
        ASSERT_EQ(modem.Start(), "");
        CliProcess cli({"--com", "4", "--sim-pin"}, c.Input);
        EXPECT_EQ(cli.Wait(), c.Exit);
        const std::string out = cli.Stdout();
        const std::string err = cli.Stderr();
        size_t at = 0;
        for (const std::string& row : c.Shown) {
            at = out.find(row, at);
            EXPECT_NE(at, std::string::npos) << row << "\n" << out;
        }
        if (c.Exit == 2) {
            EXPECT_NE(err.find(PinMsg::BadPin), std::string::npos) << err;
            EXPECT_EQ(out, "");
        }
        const std::string received = modem.ReceivedBytes();
        EXPECT_EQ(Count(received, SentPin), c.PinsSent) << received;
        EXPECT_EQ(received.find(SentUnlock) != std::string::npos, c.UnlockSent) << received;
        // No try is ever spent twice in one run, nor on a card that wants its PUK.
        EXPECT_LE(Count(received, "1234\""), 1u + (c.UnlockSent ? 1u : 0u));
        for (const char* secret : {"1234", "4321"}) {
            EXPECT_EQ(out.find(secret), std::string::npos) << out;
            EXPECT_EQ(err.find(secret), std::string::npos) << err;
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

// Stopped while the card checks the PIN: the command went out whole and its answer was
// waited for, and nothing follows it.
TEST_F(SimPinTest, AStopNeverLeavesThePinHalfSent) {
    VirtualModemOptions o;
    o.ComNumber = 5;
    o.Speed = 9600;
    o.Mismatch = MismatchMode::Silent;
    o.Pin = "1234";
    o.DelayMs = 300;
    VirtualModem modem(o);
    ASSERT_EQ(modem.Start(), "");
    CliProcess cli({"--com", "5", "--sim-pin"}, std::string("1234\n"));
    ASSERT_TRUE(cli.WaitForOutput("Выполнение команды AT+CPIN=\"****\""));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    const std::string out = cli.Stdout();
    EXPECT_NE(out.find("Получен ответ \"OK\""), std::string::npos) << out;
    EXPECT_NE(out.find(Msg::NotSucceeded), std::string::npos) << out;
    const std::string received = modem.ReceivedBytes();
    EXPECT_EQ(Count(received, SentPin), 1u) << received;
    EXPECT_EQ(received.find(SentUnlock), std::string::npos) << received;
    EXPECT_EQ(out.find("1234"), std::string::npos) << out;
}

}  // namespace
