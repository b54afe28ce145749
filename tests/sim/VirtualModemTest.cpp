#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PtyPeer.h"
#include "sim/ModemLine.h"
#include "sim/VirtualModem.h"
#include "tests/support/TempConfigHome.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto Ok = "\r\nOK\r\n";

template <class Change>
VirtualModemOptions With(Change change) {
    VirtualModemOptions o;
    change(o);
    return o;
}

class VirtualModemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(Home.Path().empty()); }

    fs::path PortsFolder() const { return Home.PortsFolder(); }

    // Sends a command line and returns everything up to its result.
    static std::string Command(PtyPeer& peer, std::string_view line, std::string_view until = Ok) {
        peer.Send(line);
        return peer.ReadUntil(until);
    }

    // The modem finds its ports folder the way the utility does.
    TempConfigHome Home;
};

TEST_F(VirtualModemTest, AnswersThroughTheComLinkWithEchoAndReplies) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.ComNumber = 4; }));
    ASSERT_EQ(modem.Start(), "");
    EXPECT_EQ(fs::read_symlink(PortsFolder() / "COM4"), modem.DevicePath());
    EXPECT_EQ(modem.LinkPath(), (PortsFolder() / "COM4").string());

    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.IsOpen());
    ASSERT_TRUE(peer.SetSpeed(115200));
    EXPECT_EQ(Command(peer, "AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(Command(peer, "ATE0V0\r", "V0\r0\r"), "ATE0V0\r0\r");
    EXPECT_EQ(Command(peer, "ATX9\r", "4\r"), "4\r");
    EXPECT_EQ(Command(peer, "ATV1\r"), Ok);
    EXPECT_EQ(modem.CommandLines(), 4);
    EXPECT_EQ(modem.ReceivedBytes(), "AT\rATE0V0\rATX9\rATV1\r");

    modem.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(PortsFolder() / "COM4")));
}

TEST_F(VirtualModemTest, SwitchesSpeedAfterTheResultOfIpr) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.Speed = 115200; }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.SetSpeed(115200));

    uint32_t old = 115200;
    for (uint32_t speed : {9600u, 14400u, 56000u, 1200u, 115200u}) {
        SCOPED_TRACE(speed);
        const std::string command = "AT+IPR=" + std::to_string(speed) + "\r";
        EXPECT_EQ(Command(peer, command), command + Ok);
        EXPECT_EQ(modem.Settings().Speed, speed);
        // The OK itself went out at the old speed.
        const auto transcript = modem.Transcript();
        ASSERT_FALSE(transcript.empty());
        EXPECT_EQ(transcript.back().Bytes, Ok);
        EXPECT_EQ(transcript.back().InterfaceSpeed, old);

        ASSERT_TRUE(peer.SetSpeed(speed));
        EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
        EXPECT_EQ(modem.Transcript().back().LineSpeed, speed);
        old = speed;
    }
}

TEST_F(VirtualModemTest, AtAnotherSpeedAnswersNothingIntelligible) {
    for (MismatchMode mode : {MismatchMode::Garbage, MismatchMode::Silent}) {
        SCOPED_TRACE(mode == MismatchMode::Garbage ? "garbage" : "silent");
        VirtualModem modem(With([&](VirtualModemOptions& o) { o.Speed = 115200; o.Mismatch = mode; }));
        ASSERT_EQ(modem.Start(), "");
        PtyPeer peer(modem.LinkPath());
        ASSERT_TRUE(peer.SetSpeed(9600));
        peer.Send("AT\r");
        peer.Send("AT+IPR=9600\r");
        ASSERT_TRUE(modem.WaitForReceivedBytes(15, 10s));
        // A command at the right speed afterwards shows what the wrong one got back.
        ASSERT_TRUE(peer.SetSpeed(115200));
        const std::string got = Command(peer, "AT\r");
        const std::string tail = std::string("AT\r") + Ok;
        ASSERT_GE(got.size(), tail.size());
        ASSERT_EQ(got.substr(got.size() - tail.size()), tail);
        const std::string noise = got.substr(0, got.size() - tail.size());
        EXPECT_EQ(noise.find('\r'), std::string::npos);
        EXPECT_EQ(noise.find("OK"), std::string::npos);
        EXPECT_EQ(noise.empty(), mode == MismatchMode::Silent);
        EXPECT_EQ(modem.CommandLines(), 1);
        EXPECT_EQ(modem.Settings().Speed, 115200u);
    }
}

TEST_F(VirtualModemTest, AutobaudUnderstandsAnySpeed) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.Speed = 0; }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    for (uint32_t speed : {2400u, 14400u, 57600u}) {
        ASSERT_TRUE(peer.SetSpeed(speed));
        EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok) << speed;
    }
    EXPECT_EQ(Command(peer, "AT+IPR?\r"), "AT+IPR?\r\r\n+IPR: 0\r\n\r\nOK\r\n");
}

TEST_F(VirtualModemTest, StoredProfileComesBackAfterFactoryDefaultsAndAcrossRuns) {
    const std::string profile = (fs::path(Home.Path()) / "profile").string();
    ModemSettings stored;
    {
        VirtualModem modem(With([&](VirtualModemOptions& o) { o.ProfileFile = profile; }));
        ASSERT_EQ(modem.Start(), "");
        PtyPeer peer(modem.LinkPath());
        ASSERT_TRUE(peer.SetSpeed(115200));
        Command(peer, "ATS18=1+CRC=1;+CBST=71\r");
        Command(peer, "ATX0&D0S0=2S7=90L1E0&W\r");
        stored = modem.StoredProfile();
        EXPECT_FALSE(stored.Echo);
        EXPECT_EQ(stored.CarrierWait, 90);
        EXPECT_EQ(stored.CauseReport, 1);
        EXPECT_TRUE(stored.RingReport);
        EXPECT_EQ(stored.BearerService, 71);
        EXPECT_EQ(Command(peer, "AT&F\r"), Ok);
        EXPECT_EQ(modem.Settings(), gFactorySettings(115200));
        EXPECT_EQ(Command(peer, "ATZ\r"), std::string("ATZ\r") + Ok);
        EXPECT_EQ(modem.Settings(), stored);
    }
    VirtualModem again(With([&](VirtualModemOptions& o) { o.ProfileFile = profile; }));
    ASSERT_EQ(again.Start(), "");
    EXPECT_EQ(again.Settings(), stored);
    EXPECT_EQ(again.StoredProfile(), stored);
}

TEST_F(VirtualModemTest, HangupAfterMakesTheDeviceVanish) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.HangupAfter = 2; }));
    ASSERT_EQ(modem.Start(), "");
    const std::string device = modem.DevicePath();
    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.SetSpeed(115200));
    EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
    EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
    EXPECT_TRUE(peer.WaitForHangUp());
    EXPECT_TRUE(modem.WaitForCommandLines(2, 10s));
    EXPECT_TRUE(modem.HungUp());
    EXPECT_FALSE(fs::exists(fs::symlink_status(PortsFolder() / "COM1")));
    EXPECT_FALSE(fs::exists(device));
    EXPECT_EQ(PtyPeer(modem.LinkPath()).IsOpen(), false);
}

TEST_F(VirtualModemTest, RunsSideBySideAndLeavesForeignLinksAlone) {
    VirtualModem first(With([&](VirtualModemOptions& o) { o.ComNumber = 1; }));
    VirtualModem second(With([&](VirtualModemOptions& o) { o.ComNumber = 2; o.Speed = 9600; }));
    ASSERT_EQ(first.Start(), "");
    ASSERT_EQ(second.Start(), "");
    VirtualModem clash(With([&](VirtualModemOptions& o) { o.ComNumber = 1; }));
    EXPECT_NE(clash.Start(), "");
    EXPECT_EQ(fs::read_symlink(first.LinkPath()), first.DevicePath());

    PtyPeer one(first.LinkPath());
    PtyPeer two(second.LinkPath());
    ASSERT_TRUE(one.SetSpeed(115200));
    ASSERT_TRUE(two.SetSpeed(9600));
    EXPECT_EQ(Command(one, "ATE0\r"), std::string("ATE0\r") + Ok);
    EXPECT_EQ(Command(two, "AT\r"), std::string("AT\r") + Ok);
    EXPECT_FALSE(first.Settings().Echo);
    EXPECT_TRUE(second.Settings().Echo);

    // Someone else took COM2 meanwhile: stopping must not take it away.
    fs::remove(second.LinkPath());
    fs::create_symlink("/dev/null", second.LinkPath());
    second.Stop();
    EXPECT_EQ(fs::read_symlink(PortsFolder() / "COM2"), "/dev/null");
}

// A link whose number no running modem claims was left by a modem that is gone: it is
// replaced when it leads nowhere or to a pseudo-terminal, whoever holds that now.
TEST_F(VirtualModemTest, ReplacesALinkLeftByAModemThatIsGone) {
    std::string error;
    const auto unrelated = gOpenModemLine(error);
    ASSERT_TRUE(unrelated) << error;
    // The kernel hands out the lowest free number: the new modem's terminal gets this one.
    const std::string freed = gOpenModemLine(error)->DevicePath();
    const std::pair<const char*, std::string> leftovers[] = {
        {"nowhere", "/dev/pts/no-such-terminal"},
        {"a terminal another program holds", unrelated->DevicePath()},
        {"the terminal the new modem gets", freed},
    };
    fs::create_directories(PortsFolder());
    for (const auto& [what, target] : leftovers) {
        SCOPED_TRACE(what);
        fs::create_symlink(target, PortsFolder() / "COM3");
        VirtualModem modem(With([&](VirtualModemOptions& o) { o.ComNumber = 3; }));
        ASSERT_EQ(modem.Start(), "");
        EXPECT_EQ(fs::read_symlink(PortsFolder() / "COM3"), modem.DevicePath());
        modem.Stop();
        EXPECT_TRUE(fs::is_empty(PortsFolder()));
    }
}

TEST_F(VirtualModemTest, RefusesANumberThatARunningModemOrAnotherDeviceHas) {
    VirtualModem running(With([&](VirtualModemOptions& o) { o.ComNumber = 5; }));
    ASSERT_EQ(running.Start(), "");
    fs::create_symlink("/dev/null", PortsFolder() / "COM6");
    for (const int com : {5, 6}) {
        SCOPED_TRACE(com);
        const fs::path link = PortsFolder() / ("COM" + std::to_string(com));
        const fs::path before = fs::read_symlink(link);
        VirtualModem clash(With([&](VirtualModemOptions& o) { o.ComNumber = com; }));
        EXPECT_NE(clash.Start(), "");
        EXPECT_EQ(fs::read_symlink(link), before);
    }
    EXPECT_TRUE(PtyPeer(running.LinkPath()).IsOpen());
}

TEST_F(VirtualModemTest, RingsUnaskedWithNoise) {
    VirtualModem modem(With([&](VirtualModemOptions& o) {
        o.Noise = true;
        o.Mismatch = MismatchMode::Silent;
    }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    // Not heard at another speed: the RING waits until the modem is reached.
    ASSERT_TRUE(peer.SetSpeed(9600));
    peer.Send("AT\r");
    ASSERT_TRUE(modem.WaitForReceivedBytes(3, 10s));
    ASSERT_TRUE(peer.SetSpeed(115200));
    EXPECT_EQ(Command(peer, "AT\r"), std::string("\r\nRING\r\nAT\r") + Ok);
    EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
}

TEST_F(VirtualModemTest, SplitPiecesStillCarryTheSameBytes) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.Split = true; o.Seed = 7; }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.SetSpeed(115200));
    EXPECT_EQ(Command(peer, "AT+IPR?\r"), "AT+IPR?\r\r\n+IPR: 115200\r\n\r\nOK\r\n");
    EXPECT_GT(modem.Transcript().size(), 3u);
}

TEST_F(VirtualModemTest, FloodsWithoutLineEndsAfterTheFirstCommand) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.Flood = true; }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.SetSpeed(115200));
    const std::string reply = std::string("AT\r") + Ok;
    std::string flood = Command(peer, "AT\r");
    ASSERT_EQ(flood.substr(0, reply.size()), reply);
    flood.erase(0, reply.size());
    while (flood.size() < 2000) {
        const std::string more = peer.ReadUntil("\r", 200ms);
        ASSERT_FALSE(more.empty());
        flood += more;
    }
    EXPECT_EQ(flood.find_first_of("\r\n"), std::string::npos);
}

TEST_F(VirtualModemTest, DelayHoldsBackTheResultButNotTheEcho) {
    VirtualModem modem(With([&](VirtualModemOptions& o) { o.DelayMs = 50; }));
    ASSERT_EQ(modem.Start(), "");
    PtyPeer peer(modem.LinkPath());
    ASSERT_TRUE(peer.SetSpeed(115200));
    EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
    const auto transcript = modem.Transcript();
    ASSERT_EQ(transcript.size(), 3u);
    EXPECT_EQ(transcript[1].Bytes, "AT\r");
    EXPECT_GE(transcript[2].Millis - transcript[1].Millis, 50u);
}

TEST_F(VirtualModemTest, SilentNeverAnswersAndNoSimRefusesAutoAnswer) {
    VirtualModem silent(With([&](VirtualModemOptions& o) { o.ComNumber = 1; o.Silent = true; }));
    VirtualModem noSim(With([&](VirtualModemOptions& o) { o.ComNumber = 2; o.NoSim = true; }));
    ASSERT_EQ(silent.Start(), "");
    ASSERT_EQ(noSim.Start(), "");
    PtyPeer quiet(silent.LinkPath());
    PtyPeer peer(noSim.LinkPath());
    ASSERT_TRUE(quiet.SetSpeed(115200));
    ASSERT_TRUE(peer.SetSpeed(115200));
    quiet.Send("AT\r");
    EXPECT_TRUE(silent.WaitForCommandLines(1, 10s));
    EXPECT_EQ(silent.SentBytes(), "");
    EXPECT_EQ(Command(peer, "ATS0=2\r", "ERROR\r\n"), "ATS0=2\r\r\nERROR\r\n");
}

TEST_F(VirtualModemTest, TranscriptFileShowsEveryByteWithItsSpeeds) {
    const std::string file = (fs::path(Home.Path()) / "transcript.txt").string();
    {
        VirtualModem modem(With([&](VirtualModemOptions& o) { o.TranscriptFile = file; }));
        ASSERT_EQ(modem.Start(), "");
        PtyPeer peer(modem.LinkPath());
        ASSERT_TRUE(peer.SetSpeed(9600));
        peer.Send("AT\r");
        ASSERT_TRUE(modem.WaitForReceivedBytes(3, 10s));
    }
    std::ifstream in(file);
    std::string first;
    std::getline(in, first);
    EXPECT_NE(first.find(" in  modem 115200 line 9600 41 54 0D \"AT\\r\""), std::string::npos) << first;
}

TEST_F(VirtualModemTest, WithoutAKeptTranscriptTheFileStillGetsEveryByte) {
    const std::string file = (fs::path(Home.Path()) / "transcript.txt").string();
    {
        VirtualModem modem(With([&](VirtualModemOptions& o) {
            o.TranscriptFile = file;
            o.KeepTranscript = false;
        }));
        ASSERT_EQ(modem.Start(), "");
        PtyPeer peer(modem.LinkPath());
        ASSERT_TRUE(peer.SetSpeed(115200));
        EXPECT_EQ(Command(peer, "AT\r"), std::string("AT\r") + Ok);
        EXPECT_TRUE(modem.WaitForReceivedBytes(3, 10s));
        EXPECT_TRUE(modem.Transcript().empty());
        EXPECT_EQ(modem.ReceivedBytes(), "");
    }
    std::ifstream in(file);
    std::string all, line;
    while (std::getline(in, line)) all += line + "\n";
    EXPECT_NE(all.find(" in  modem 115200 line 115200 41 54 0D \"AT\\r\""), std::string::npos) << all;
    EXPECT_NE(all.find(" out modem 115200 line 115200 0D 0A 4F 4B 0D 0A \"\\r\\nOK\\r\\n\""), std::string::npos)
        << all;
}

// A modem stopped during a call is one switched off: the other loses the carrier, and
// its number reaches nobody.
TEST_F(VirtualModemTest, AModemStoppedInACallLeavesTheOtherWithNoCarrier) {
    const auto network = std::make_shared<CallNetwork>();
    const auto on = [&](int com) {
        return With([&](VirtualModemOptions& o) {
            o.ComNumber = com;
            o.Calls = network;
            o.TimeScale = 100;
        });
    };
    VirtualModem caller(on(5));
    auto callee = std::make_unique<VirtualModem>(on(6));
    ASSERT_EQ(caller.Start(), "");
    ASSERT_EQ(callee->Start(), "");
    PtyPeer a(caller.LinkPath());
    PtyPeer b(callee->LinkPath());
    ASSERT_TRUE(a.SetSpeed(115200) && b.SetSpeed(115200));
    EXPECT_EQ(Command(b, "ATS0=1\r"), std::string("ATS0=1\r") + Ok);
    EXPECT_EQ(callee->Number(), "+0006");
    EXPECT_EQ(Command(a, "ATD+0006\r", "CONNECT 9600\r\n"), "ATD+0006\r\r\nCONNECT 9600\r\n");
    EXPECT_TRUE(callee->WaitForPhase(CallPhase::Online, 10s));

    callee.reset();
    EXPECT_EQ(a.ReadUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(caller.Phase(), CallPhase::OnHook);
    EXPECT_EQ(Command(a, "ATD+0006\r", "NO CARRIER\r\n"), "ATD+0006\r\r\nNO CARRIER\r\n");
}

}  // namespace
