// SerialPort with the machine's own backend, against a peer on a real pseudo-terminal.

#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>
#include <fstream>
#include <thread>

#include "os/Event.h"
#include "serial/LineSettings_posix.h"
#include "serial/SerialPort.h"
#include "tests/serial/PtyPeer.h"
#include "tests/support/RecordingToolkit.h"

namespace {

constexpr int Com = 5;
const char* const ComName = "\\\\.\\COM5";

}  // namespace

class PtyPortTest : public testing::Test {
protected:
    void SetUp() override {
        Port.OwnerWindow = &Window;
        Port.StopEventRef = &Stop;
        ASSERT_EQ(Port.Open(Com), 0);
        ASSERT_EQ(Port.Configure(9600, 8, OneStopBit, NoParity), 0);
    }

    ReplyCode Search(uint32_t timeoutMs) { return Port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", timeoutMs, Out); }

    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& m : Window.Messages()) texts.push_back(m.Text);
        return texts;
    }

    PtyPeer Peer{Com};
    SerialPort Port;
    RecordingToolkit Window;
    Event Stop;
    char Out[ReplyBufferSize] = {};
};

TEST_F(PtyPortTest, WritesTheCommandAndReadsTheReplyByteByByte) {
    ASSERT_EQ(Port.Purge(PurgeTxClear | PurgeRxClear), 0);
    ASSERT_EQ(Port.Write("AT\r", 3), 0);
    EXPECT_EQ(Peer.Read(3), "AT\r");

    std::thread modem([&] { Peer.WriteSlowly("AT\r\r\nOK\r\n"); });
    EXPECT_EQ(Search(10000), Ok);
    modem.join();
    EXPECT_EQ(std::string(Out, 6), "\r\nOK\r\n");
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(PtyPortTest, NumericReplyAndModemError) {
    std::thread modem([&] { Peer.WriteSlowly("AT\r0\r"); });
    EXPECT_EQ(Search(10000), Ok);
    modem.join();

    ASSERT_EQ(Port.Purge(PurgeTxClear | PurgeRxClear), 0);
    std::thread failing([&] { Peer.WriteSlowly("AT+IPR=1\r\r\nERROR\r\n"); });
    EXPECT_EQ(Port.ReadReply("AT+IPR=1\r", "\r\nOK\r\n", "0\r", 10000, Out), ModemError);
    failing.join();
}

TEST_F(PtyPortTest, EverySpeedReachesTheLine) {
    for (uint32_t speed : {9600u, 115200u, 19200u, 2400u, 1200u, 38400u, 4800u, 14400u, 56000u, 57600u}) {
        ASSERT_EQ(Port.Configure(speed, 8, OneStopBit, NoParity), 0) << speed;
        LineSettings line;
        ASSERT_EQ(gReadLineSettings(Peer.Master, line), 0);
        EXPECT_EQ(line.BaudRate, speed);
    }
    termios t{};
    ASSERT_EQ(Port.Configure(115200, 8, OneStopBit, NoParity), 0);
    ASSERT_EQ(tcgetattr(Peer.Master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
}

TEST_F(PtyPortTest, LineIsRawEightBitsNoParityOneStopNoFlowControl) {
    termios t{};
    ASSERT_EQ(tcgetattr(Peer.Master, &t), 0);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);

    // A pseudo-terminal forces eight bits without parity; the stop bits it keeps.
    ASSERT_EQ(Port.Configure(9600, 8, 2, NoParity), 0);
    ASSERT_EQ(tcgetattr(Peer.Master, &t), 0);
    EXPECT_EQ(t.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
}

TEST_F(PtyPortTest, SecondOpenerIsRefusedUntilClosed) {
    auto platform = gMakeSystemSerialPlatform();
    EXPECT_EQ(platform->OpenDevice(ComName), InvalidPortHandle);
    Port.Close();
    const PortHandle second = platform->OpenDevice(ComName);
    EXPECT_NE(second, InvalidPortHandle);
    platform->CloseDevice(second);
}

TEST_F(PtyPortTest, OnlyTerminalsAreOpened) {
    const std::string file = Peer.Home.Path() + "/plain";
    std::ofstream(file) << "keep";
    Peer.Link(6, file);
    Peer.Link(7, Peer.Home.Path() + "/missing");
    auto platform = gMakeSystemSerialPlatform();
    for (const char* name : {"\\\\.\\COM6", "\\\\.\\COM7", "\\\\.\\COM99", "COM5", "\\\\.\\COM05", "\\\\.\\COM5x"}) {
        EXPECT_EQ(platform->OpenDevice(name), InvalidPortHandle) << name;
    }
    std::ifstream in(file);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "keep");
}

TEST_F(PtyPortTest, PeerGoingAwayMidReadFails) {
    std::thread modem([&] {
        Peer.WriteSlowly("AT\r\r\nO");
        Peer.CloseMaster();
    });
    EXPECT_EQ(Search(60000), Failed);
    modem.join();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Ошибка выполнения ReadFile (код 5)!"});
}

TEST_F(PtyPortTest, StopEndsAWaitOnASilentPeer) {
    std::thread button([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Stop.Signal();
    });
    EXPECT_EQ(Search(60000), Stopped);
    button.join();
    EXPECT_FALSE(Stop.IsSignalled());
}

TEST_F(PtyPortTest, FloodTimesOutWithoutFailing) {
    Peer.WriteAll(std::string(3000, 'x'));
    EXPECT_EQ(Search(300), TimedOut);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(PtyPortTest, LongWriteWaitsForRoomAndDeliversEverything) {
    std::string text;
    for (int i = 0; text.size() < 200000; ++i) text += "AT+LINE=" + std::to_string(i) + "\r";
    std::string received;
    std::thread modem([&] { received = Peer.Read(text.size()); });
    EXPECT_EQ(Port.Write(text.data(), static_cast<uint32_t>(text.size())), 0);
    modem.join();
    EXPECT_TRUE(received == text) << received.size() << " of " << text.size();
}

TEST_F(PtyPortTest, CancelEndsReadsAndWrites) {
    Event cancel(Event::Reset::Manual);
    Port.CancelEventRef = &cancel;
    cancel.Signal();
    const std::string text(200000, 'x');
    EXPECT_EQ(Port.Write(text.data(), static_cast<uint32_t>(text.size())), 1);
    EXPECT_EQ(Search(60000), Failed);
    const std::string code = std::to_string(ECANCELED);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Ошибка выполнения WriteFile (код " + code + ")!",
                                                        "Ошибка выполнения ReadFile (код " + code + ")!"}));
}

TEST(PtyOpenTest, BusyPortEndsItsAttemptsAtOnceWhenCancelled) {
    PtyPeer peer(Com);
    SerialPort holder;
    ASSERT_EQ(holder.Open(Com), 0);
    RecordingToolkit window;
    Event cancel(Event::Reset::Manual);
    cancel.Signal();
    SerialPort port;
    port.OwnerWindow = &window;
    port.CancelEventRef = &cancel;
    EXPECT_EQ(port.Open(Com), 1);
    EXPECT_EQ(port.Handle, InvalidPortHandle);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_EQ(window.Messages()[0].Text.rfind("Последовательный порт не готов!Возможно, он занят другим приложением!\nCOM5 (", 0), 0u);
}

TEST_F(PtyPortTest, ConfigureClearsFlowControlAndKeepsParityChecking) {
    auto platform = gMakeSystemSerialPlatform();
    LineSettings line;
    ASSERT_TRUE(platform->GetLineSettings(Port.Handle, line).Ok());
    line.Flags |= LineFlag::Parity | LineFlag::OutxCtsFlow | LineFlag::OutX | LineFlag::InX;
    ASSERT_TRUE(platform->SetLineSettings(Port.Handle, line).Ok());
    termios t{};
    ASSERT_EQ(tcgetattr(Peer.Master, &t), 0);
    EXPECT_EQ(t.c_iflag & (INPCK | IXON | IXOFF), static_cast<tcflag_t>(INPCK | IXON | IXOFF));
    EXPECT_EQ(t.c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));

    ASSERT_EQ(Port.Configure(9600, 8, OneStopBit, NoParity), 0);
    ASSERT_EQ(tcgetattr(Peer.Master, &t), 0);
    EXPECT_EQ(t.c_iflag & (INPCK | IXON | IXOFF), static_cast<tcflag_t>(INPCK));
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    ASSERT_TRUE(platform->GetLineSettings(Port.Handle, line).Ok());
    EXPECT_EQ(line.Flags & (LineFlag::Parity | LineFlag::OutxCtsFlow | LineFlag::OutX | LineFlag::InX),
              LineFlag::Parity);
    EXPECT_EQ(line.BaudRate, 9600u);
}
