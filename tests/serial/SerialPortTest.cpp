// Open, line set-up and writes of SerialPort over a scripted platform.

#include <string>
#include <vector>

#include "os/ErrorText.h"
#include "tests/serial/PortFixture.h"

using Strings = std::vector<std::string>;

namespace {

const char* const BusyText = "Последовательный порт не готов!Возможно, он занят другим приложением!";

}  // namespace

class SerialPortTest : public PortFixture {};

TEST_F(SerialPortTest, OpenNamesTheDeviceByComNumber) {
    EXPECT_EQ(Port.Open(3), 0);
    EXPECT_EQ(Port.Open(12), 0);
    EXPECT_EQ(Fake->Calls, (Strings{"OpenDevice \\\\.\\COM3", "CloseDevice", "OpenDevice \\\\.\\COM12"}));
    EXPECT_NE(Port.Handle, InvalidPortHandle);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(SerialPortTest, BusyPortTakesFiveAttemptsHalfASecondApart) {
    Fake->BusyAttempts = -1;
    EXPECT_EQ(Port.Open(1), 1);
    EXPECT_EQ(Fake->Count("OpenDevice \\\\.\\COM1"), 5);
    EXPECT_EQ(Fake->Count("Pause 500"), 5);
    EXPECT_EQ(Fake->Calls.back(), "Pause 500");
    EXPECT_EQ(Port.Handle, InvalidPortHandle);
    EXPECT_EQ(MessageTexts(), Strings{BusyText});
}

TEST_F(SerialPortTest, BusyPortWithoutOwnerShowsNothing) {
    Port.OwnerWindow = nullptr;
    Fake->BusyAttempts = -1;
    EXPECT_EQ(Port.Open(1), 1);
    EXPECT_EQ(Fake->Tick, 2500u);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(SerialPortTest, PortFreedDuringTheAttemptsOpens) {
    Fake->BusyAttempts = 4;
    EXPECT_EQ(Port.Open(2), 0);
    EXPECT_EQ(Fake->Count("Pause 500"), 4);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(SerialPortTest, CloseTwiceClosesOnce) {
    OpenPort();
    Port.Close();
    Port.Close();
    EXPECT_EQ(Fake->Calls, Strings{"CloseDevice"});
    EXPECT_EQ(Port.Handle, InvalidPortHandle);
}

TEST_F(SerialPortTest, ConfigureSetsTheLineAndKeepsWhatItDoesNotOwn) {
    OpenPort();
    Fake->Line.Flags = 0xFFFFFFFFu;
    Fake->Line.BaudRate = 300;
    Fake->Timeouts = {1, 2, 3, 4, 5};
    EXPECT_EQ(Port.Configure(14400, 8, OneStopBit, NoParity), 0);

    EXPECT_EQ(Fake->Calls, (Strings{"GetLineSettings", "SetLineSettings", "GetTimeouts", "SetTimeouts",
                                    "SetEventMask 65", "Purge 12"}));
    EXPECT_EQ(Fake->Line.BaudRate, 14400u);
    EXPECT_EQ(Fake->Line.ByteSize, 8);
    EXPECT_EQ(Fake->Line.StopBits, 0);
    EXPECT_EQ(Fake->Line.Parity, 0);
    // Set: binary, DTR and RTS enabled. Cleared: CTS/DSR flow, XON/XOFF, the high DTR/RTS bits.
    EXPECT_EQ(Fake->Line.Flags, 0xFFFFFFFFu & ~0x232Cu);
    const CommTimeouts& t = Fake->Timeouts;
    EXPECT_EQ((Strings{std::to_string(t.ReadIntervalTimeout), std::to_string(t.ReadTotalTimeoutMultiplier),
                       std::to_string(t.ReadTotalTimeoutConstant), std::to_string(t.WriteTotalTimeoutMultiplier),
                       std::to_string(t.WriteTotalTimeoutConstant)}),
              (Strings{"5", "0", "100", "0", "0"}));

    Fake->Line.Flags = 0;
    EXPECT_EQ(Port.Configure(9600, 7, 2, 2), 0);
    EXPECT_EQ(Fake->Line.Flags, 0x1011u);
    EXPECT_EQ(Fake->Line.ByteSize, 7);
    EXPECT_EQ(Fake->Line.StopBits, 2);
    EXPECT_EQ(Fake->Line.Parity, 2);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(SerialPortTest, EachCallOfConfigureMayBeRetriedOnce) {
    OpenPort();
    for (const char* name : {"GetLineSettings", "SetLineSettings", "GetTimeouts", "SetTimeouts", "SetEventMask", "Purge"}) {
        Fake->Results[name] = {Aborted};
    }
    EXPECT_EQ(Port.Configure(9600, 8, 0, 0), 0);
    EXPECT_EQ(Fake->Count("ClearLineErrors"), 6);
    EXPECT_EQ(Fake->Count("Purge 12"), 2);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(SerialPortTest, ConfigureFailingHalfwayLeavesWhatWasApplied) {
    OpenPort();
    Fake->Results["SetTimeouts"] = {IoError};
    EXPECT_EQ(Port.Configure(57600, 8, 0, 0), 1);
    EXPECT_EQ(Fake->Calls, (Strings{"GetLineSettings", "SetLineSettings", "GetTimeouts", "SetTimeouts"}));
    EXPECT_EQ(Fake->Line.BaudRate, 57600u);
    EXPECT_EQ(MessageTexts(), Strings{gGetErrorText(IoError.Code)});
}

// The retry rule, met through Purge and Escape: what the platform answers, in order.
struct RetryCase {
    const char* Name;
    std::vector<SysResult> Answers;
    int Result;
    int Clears;
    int Calls;
    uint32_t ShownCode;  // 0 when nothing is shown
};

void PrintTo(const RetryCase& c, std::ostream* os) { *os << c.Name; }

class RetryRuleTest : public PortFixture, public testing::WithParamInterface<RetryCase> {};

TEST_P(RetryRuleTest, PurgeAndEscapeFollowTheRule) {
    const RetryCase& c = GetParam();
    OpenPort();
    for (const char* operation : {"Purge", "Escape"}) {
        Fake->Calls.clear();
        Fake->Results[operation] = {c.Answers.begin(), c.Answers.end()};
        const int result = std::string(operation) == "Purge" ? Port.Purge(PurgeTxClear | PurgeRxClear)
                                                             : Port.Escape(EscapeSetDtr);
        EXPECT_EQ(result, c.Result) << operation;
        EXPECT_EQ(Fake->Count("ClearLineErrors"), c.Clears) << operation;
        EXPECT_EQ(static_cast<int>(Fake->Calls.size()) - c.Clears, c.Calls) << operation;
    }
    const Strings expected = c.ShownCode ? Strings(2, gGetErrorText(c.ShownCode)) : Strings{};
    EXPECT_EQ(MessageTexts(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RetryRuleTest,
    testing::Values(RetryCase{"Success", {Fine}, 0, 0, 1, 0},
                    RetryCase{"AbortedOnce", {Aborted}, 0, 1, 2, 0},
                    RetryCase{"AbortedTwice", {Aborted, Aborted}, 1, 1, 2, AbortedCode},
                    RetryCase{"OtherCode", {IoError}, 1, 0, 1, IoError.Code},
                    RetryCase{"AbortedThenOther", {Aborted, IoError}, 1, 1, 2, IoError.Code},
                    RetryCase{"PendingIsAFailureHere", {Pending}, 1, 0, 1, PendingCode}),
    [](const auto& info) { return info.param.Name; });

TEST_F(SerialPortTest, WriteRaisesDtrThenRtsThenWrites) {
    OpenPort();
    EXPECT_EQ(Port.Write("AT\r", 3), 0);
    EXPECT_EQ(Fake->Calls, (Strings{"Escape 5", "Escape 3", "Write"}));
    EXPECT_EQ(Fake->Written, "AT\r");
}

TEST_F(SerialPortTest, WriteStopsAtAFailedModemLine) {
    OpenPort();
    Fake->Results["Escape"] = {IoError};
    EXPECT_EQ(Port.Write("AT\r", 3), 1);
    EXPECT_EQ(Fake->Calls, Strings{"Escape 5"});

    Fake->Calls.clear();
    Fake->Results["Escape"] = {Fine, IoError};
    EXPECT_EQ(Port.Write("AT\r", 3), 1);
    EXPECT_EQ(Fake->Calls, (Strings{"Escape 5", "Escape 3"}));
    EXPECT_EQ(Fake->Written, "");
    EXPECT_EQ(MessageTexts(), Strings(2, gGetErrorText(IoError.Code)));
}

struct WriteCase {
    const char* Name;
    std::vector<SysResult> Answers;
    int Result;
    int Attempts;
    int Clears;
    std::string Shown;  // empty when nothing is shown
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.Name; }

class WriteRuleTest : public PortFixture, public testing::WithParamInterface<WriteCase> {};

TEST_P(WriteRuleTest, AttemptsAndReport) {
    const WriteCase& c = GetParam();
    OpenPort();
    Fake->Results["Write"] = {c.Answers.begin(), c.Answers.end()};
    EXPECT_EQ(Port.Write("AT\r", 3), c.Result);
    EXPECT_EQ(Fake->Count("Write"), c.Attempts);
    EXPECT_EQ(Fake->Count("ClearLineErrors"), c.Clears);
    EXPECT_EQ(MessageTexts(), c.Shown.empty() ? Strings{} : Strings{c.Shown});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WriteRuleTest,
    testing::Values(
        WriteCase{"Success", {Fine}, 0, 1, 0, ""},
        WriteCase{"AbortedOnce", {Aborted}, 0, 2, 1, ""},
        WriteCase{"AbortedTwice", {Aborted, Aborted}, 1, 2, 1,
                  TransferFailure("WriteFile", Aborted)},
        WriteCase{"PendingOnce", {Pending}, 0, 2, 0, ""},
        WriteCase{"PendingTwiceCountsAsDone", {Pending, Pending}, 0, 2, 0, ""},
        WriteCase{"PendingThenAborted", {Pending, Aborted}, 1, 2, 0,
                  TransferFailure("WriteFile", Aborted)},
        WriteCase{"AbortedThenPending", {Aborted, Pending}, 0, 2, 1, ""},
        WriteCase{"OtherCode", {IoError}, 1, 1, 0, TransferFailure("WriteFile", IoError)},
        WriteCase{"PendingThenOther", {Pending, IoError}, 1, 2, 0,
                  TransferFailure("WriteFile", IoError)}),
    [](const auto& info) { return info.param.Name; });

TEST_F(SerialPortTest, FailuresWithoutOwnerShowNothing) {
    Port.OwnerWindow = nullptr;
    OpenPort();
    Fake->Results["Write"] = {IoError};
    Fake->Results["Purge"] = {IoError};
    EXPECT_EQ(Port.Write("AT\r", 3), 1);
    EXPECT_EQ(Port.Purge(12), 1);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST(ErrorTextTest, SystemTextOrNothing) {
    EXPECT_FALSE(gGetErrorText(IoError.Code).empty());
    EXPECT_EQ(gGetErrorText(100000), "");
    EXPECT_EQ(gGetErrorText(0xFFFFFFFFu), "");

    RecordingToolkit window;
    gShowErrorText(100000, &window);
    gShowErrorText(IoError.Code, nullptr);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_EQ(window.Messages()[0].Text, "");
    EXPECT_EQ(window.Messages()[0].Caption, "Информация");
}
