// The Win32 serial back end on a COM port that Wine maps to a virtual modem's
// pseudo-terminal. The Linux-side driver starts the modems and names their COM numbers:
// KX_SILENT_COM never answers, KX_TALKING_COM answers at 9600 bit/s.
// Wine does not refuse a second open of a COM port, so exclusivity is not tested here.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "os/Event.h"
#include "serial/SerialPort.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/RecordingToolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

int ComFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

const int SilentCom = ComFromEnvironment("KX_SILENT_COM");
const int TalkingCom = ComFromEnvironment("KX_TALKING_COM");

std::string DeviceName(int com) { return "\\\\.\\COM" + std::to_string(com); }

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The silent port opened on the system's own back end, with a read that would wait
// 10 s for a first byte, so that only a wake event ends it early.
class WakeTest : public testing::Test {
protected:
    static constexpr std::chrono::milliseconds Moment{200};

    void SetUp() override {
        ASSERT_NE(SilentCom, 0) << "KX_SILENT_COM is not set";
        Handle = Platform->OpenDevice(DeviceName(SilentCom));
        ASSERT_NE(Handle, InvalidPortHandle);
        ASSERT_TRUE(Platform->SetTimeouts(Handle, {0, 0, 10000, 0, 0}).Ok());
    }
    void TearDown() override {
        if (Handle != InvalidPortHandle) Platform->CloseDevice(Handle);
    }

    // Reads with the wake events, one of which another thread signals after a while
    // unless the read has ended by then.
    SysResult ReadWokenBy(Event& signalled, WakeEvents wake, std::chrono::milliseconds after = Moment) {
        std::promise<void> ended;
        std::thread signaller([&signalled, after, readEnded = ended.get_future()] {
            if (readEnded.wait_for(after) == std::future_status::timeout) signalled.Signal();
        });
        const auto start = Clock::now();
        const SysResult result = Platform->Read(Handle, Buffer, sizeof Buffer, Got, wake);
        ElapsedMs = MsSince(start);
        ended.set_value();
        signaller.join();
        return result;
    }

    std::unique_ptr<SerialPlatform> Platform = gMakeSystemSerialPlatform();
    PortHandle Handle = InvalidPortHandle;
    uint8_t Buffer[64] = {};
    size_t Got = 99;
    long long ElapsedMs = 0;
    Event Stop;
    Event Cancel{Event::Reset::Manual};
};

TEST_F(WakeTest, StopEndsAPendingReadWithWhatItHasAndStaysForTheReader) {
    const SysResult result = ReadWokenBy(Stop, {&Stop, &Cancel});
    EXPECT_TRUE(result.Ok()) << result.Code;
    EXPECT_EQ(Got, 0u);
    EXPECT_LT(ElapsedMs, 5000);
    EXPECT_TRUE(Stop.Poll()) << "the reply reader's own poll must still see the stop";
}

TEST_F(WakeTest, CancelFailsAPendingReadAsNoRetryableError) {
    const SysResult result = ReadWokenBy(Cancel, {&Stop, &Cancel});
    EXPECT_EQ(result.Kind, ErrorKind::Other);
    EXPECT_LT(ElapsedMs, 5000);
    EXPECT_FALSE(Stop.IsSignalled());
}

// The reply reader's look for bytes after a quiet pause: over a silent line it must come
// back empty at once, where Wine by itself would wait for ever (the cancel ends a hang).
TEST_F(WakeTest, ReadUnderAtOnceTimeOutsComesBackEmptyOverASilentLine) {
    ASSERT_TRUE(Platform->SetTimeouts(Handle, {MAXDWORD, 0, 0, 0, 0}).Ok());
    const SysResult result = ReadWokenBy(Cancel, {&Stop, &Cancel}, std::chrono::seconds(5));
    EXPECT_TRUE(result.Ok()) << result.Code;
    EXPECT_EQ(Got, 0u);
    EXPECT_LT(ElapsedMs, 1000);
}

TEST(Win32Port, MissingComNumberDoesNotOpenAndSaysSo) {
    const auto platform = gMakeSystemSerialPlatform();
    EXPECT_EQ(platform->OpenDevice(DeviceName(31)), InvalidPortHandle);
    EXPECT_EQ(gOpenFailureLine(31, platform->LastOpenFailure()), "COM31: за этим номером нет устройства.");
}

TEST(Win32Port, StopEndsTheOpenAttempts) {
    Event stop;
    SerialPort port;
    port.StopEventRef = &stop;
    stop.Signal();
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(port.Open(31), 1);
    // The five attempts would take 2.5 s.
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_TRUE(stop.IsSignalled()) << "the stop is left for the engine to see";
}

// The port's own set-up (5 ms between bytes, 100 ms in all) over a silent line and a
// talking one: a short read and a driver's time-out error must both read as nothing.
class PortOnWine : public testing::Test {
protected:
    void Open(int com) {
        ASSERT_NE(com, 0) << "the modem's COM number is not set";
        Port.OwnerWindow = &Window;
        Port.StopEventRef = &Stop;
        ASSERT_EQ(Port.Open(com), 0);
        ASSERT_EQ(Port.Configure(9600, 8, OneStopBit, NoParity), 0);
    }
    SerialPort Port;
    RecordingToolkit Window;
    Event Stop;
    char Out[ReplyBufferSize] = {};
};

// The flag word reaches the DCB's bit fields and comes back from them.
TEST_F(PortOnWine, LineSettingsComeBackAsConfigured) {
    Open(SilentCom);
    auto platform = gMakeSystemSerialPlatform();
    LineSettings line;
    ASSERT_TRUE(platform->GetLineSettings(Port.Handle, line).Ok());
    EXPECT_EQ(line.BaudRate, 9600u);
    EXPECT_EQ(line.ByteSize, 8);
    EXPECT_EQ(line.StopBits, OneStopBit);
    EXPECT_EQ(line.Parity, NoParity);
    const uint32_t set = LineFlag::Binary | LineFlag::DtrControlEnable | LineFlag::RtsControlEnable;
    const uint32_t cleared = LineFlag::OutxCtsFlow | LineFlag::OutxDsrFlow | LineFlag::OutX | LineFlag::InX;
    EXPECT_EQ(line.Flags & (set | cleared | LineFlag::DtrControlMask | LineFlag::RtsControlMask), set);
}

TEST_F(PortOnWine, SilentModemTimesOutWithoutAMessage) {
    Open(SilentCom);
    ASSERT_EQ(Port.Write("AT\r", 3), 0);
    EXPECT_EQ(Port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", 300, Out), TimedOut);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(PortOnWine, TalkingModemAnswersAt) {
    Open(TalkingCom);
    // DTR and RTS cannot be raised on a pseudo-terminal; that counts as done.
    ASSERT_EQ(Port.Write("AT\r", 3), 0);
    EXPECT_EQ(Port.ReadReply("AT\r", "\r\nOK\r\n", "0\r", 1000, Out), Ok);
    EXPECT_EQ(std::string(Out), "\r\nOK\r\n");
    EXPECT_TRUE(Window.Messages().empty());
}

// Ending waits for the worker, which a stop ends mid-read; a hang is left to the test's
// time-out, and the speed to scripts/bench.
TEST(EngineOnWine, EndsMidJobAndAddsNothing) {
    ASSERT_NE(SilentCom, 0);
    EngineRig<> rig{SystemPort{}};
    rig.Init();
    rig.Choose(1, 3, 0, SilentCom - 1);
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.WaitForRow(Search(9600)));
    rig.Engine.reset();
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ" + std::to_string(SilentCom), Search(9600)}));
    EXPECT_TRUE(rig.Win.Messages().empty());
}

}  // namespace
