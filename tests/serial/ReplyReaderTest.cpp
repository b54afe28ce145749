// ReadReply's gathering cycle over scripted reads: pieces, echo, time-out, stop, floods,
// read failures.

#include <string>
#include <vector>

#include "serial/ReplyParser.h"
#include "tests/serial/PortFixture.h"

using namespace std::string_literals;
using Strings = std::vector<std::string>;

namespace {

const char* const Verbose = "\r\nOK\r\n";
const char* const Numeric = "0\r";

}  // namespace

class ReplyReaderTest : public PortFixture {
protected:
    void SetUp() override { OpenPort(); }

    void Script(const Strings& pieces) {
        for (const auto& piece : pieces) Fake->Reads.push_back({piece});
    }

    ReplyCode Search(uint32_t timeoutMs = 1000) { return Port.ReadReply("AT\r", Verbose, Numeric, timeoutMs, Out); }
    std::string Reply(size_t length) const { return std::string(Out, length); }

    char Out[ReplyBufferSize] = {};
};

struct ReplyCase {
    const char* Name;
    Strings Pieces;
    const char* Expected;
    const char* Alternative;
    ReplyCode Result;
    std::string Reply;  // what out holds; empty when nothing is copied
    int Reads;          // reads made before the verdict (silent ones after the script included)
    Strings Unasked = {};  // the lines set aside, in the order they came
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.Name; }

class ReplyCaseTest : public ReplyReaderTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyCaseTest, Verdict) {
    const ReplyCase& c = GetParam();
    Script(c.Pieces);
    std::fill(std::begin(Out), std::end(Out), '#');
    EXPECT_EQ(Port.ReadReply("AT\r", c.Expected, c.Alternative, 300, Out), c.Result);
    if (c.Reply.empty()) {
        EXPECT_EQ(Reply(4), "####");
    } else {
        EXPECT_EQ(Reply(c.Reply.size()), c.Reply);
        EXPECT_EQ(Out[c.Reply.size()], '#') << "no terminating zero is written";
    }
    EXPECT_EQ(static_cast<int>(Fake->ReadSizes.size()), c.Reads);
    EXPECT_TRUE(Window.Messages().empty());
    Strings unasked;
    for (const UnaskedLine& line : Port.LastHeard.Unasked) unasked.push_back(line.Text);
    EXPECT_EQ(unasked, c.Unasked);
}

// Silent reads take 100 ms each: a time-out of 300 ms ends after four of them.
INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyCaseTest,
    testing::Values(
        ReplyCase{"EchoVerbose", {"AT\r\r\nOK\r\n"}, Verbose, Numeric, Ok, Verbose, 1},
        ReplyCase{"NoEchoVerbose", {Verbose}, Verbose, Numeric, Ok, Verbose, 1},
        ReplyCase{"EchoNumeric", {"AT\r0\r"}, Verbose, Numeric, Ok, Numeric, 1},
        ReplyCase{"VerboseError", {"AT\r\r\nERROR\r\n"}, Verbose, Numeric, ModemError, "\r\nERROR\r\n", 1},
        ReplyCase{"NumericError", {"4\r"}, Verbose, Numeric, ModemError, "4\r", 1},
        ReplyCase{"VerboseErrorInNumericForm", {"ERROR\r"}, Verbose, Numeric, Failed, "ERROR\r", 1},
        ReplyCase{"NumericErrorInVerboseForm", {"\r\n4\r\n"}, Verbose, Numeric, Failed, "\r\n4\r\n", 1},
        ReplyCase{"OtherText", {"\r\nNO CARRIER\r\n"}, Verbose, Numeric, Failed, "\r\nNO CARRIER\r\n", 1},
        ReplyCase{"InPieces", {"AT\r", "\r\n", "OK\r\n"}, Verbose, Numeric, Ok, Verbose, 3},
        ReplyCase{"EchoSplit", {"AT", "\r\r\nOK\r\n"}, Verbose, Numeric, Ok, Verbose, 2},
        ReplyCase{"ByteByByte", {"A", "T", "\r", "\r", "\n", "O", "K", "\r", "\n"}, Verbose, Numeric, Ok, Verbose, 9},
        ReplyCase{"NoFinalLineFeed", {"\r\nOK\r"}, Verbose, Numeric, TimedOut, "", 4},
        ReplyCase{"LoneCarriageReturn", {"\r"}, Verbose, Numeric, TimedOut, "", 4},
        ReplyCase{"VerboseWithoutLeadingLineEnd", {"OK\r\n"}, Verbose, Numeric, TimedOut, "", 4},
        ReplyCase{"EchoAlone", {"AT\r"}, Verbose, Numeric, TimedOut, "", 4},
        ReplyCase{"EmptyVerbose", {"\r\n\r\n"}, Verbose, Numeric, Failed, "\r\n\r\n", 1},
        ReplyCase{"FirstLineEndingEndsIt", {"\r\n+CSQ: 17,99\r\n", Verbose}, Verbose, Numeric, Failed,
                  "\r\n+CSQ: 17,99\r\n", 1},
        ReplyCase{"LinesInOneRead", {"\r\n+CSQ: 17,99\r\n\r\nOK\r\n"}, Verbose, Numeric, Ok,
                  "\r\n+CSQ: 17,99\r\n\r\nOK\r\n", 1},
        ReplyCase{"ExpectedWinsOverError", {"\r\nERROR\r\n\r\nOK\r\n"}, Verbose, Numeric, Ok,
                  "\r\nERROR\r\n\r\nOK\r\n", 1},
        ReplyCase{"NulBytesInside", {"\r\n\0\0\r\nOK\r\n"s}, Verbose, Numeric, Ok, "\r\n\r\nOK\r\n", 1},
        // A BREAK arrives as a NUL before the reply (TC35i, URCs): without it the reply
        // would not begin with CR LF and never complete.
        ReplyCase{"NulBeforeVerbose", {"AT\r\0\r\nOK\r\n"s}, Verbose, Numeric, Ok, Verbose, 1},
        ReplyCase{"NulAloneThenReply", {"\0"s, Verbose}, Verbose, Numeric, Ok, Verbose, 2},
        // Lines the modem sends unasked are set aside wherever they come.
        ReplyCase{"SysStartBeforeReply", {"AT\r\r\n^SYSSTART\r\n", Verbose}, Verbose, Numeric, Ok, Verbose, 2,
                  {"^SYSSTART"}},
        ReplyCase{"SysStartAloneIsNoReply", {"\r\n^SYSSTART\r\n"}, Verbose, Numeric, TimedOut, "", 4, {"^SYSSTART"}},
        ReplyCase{"SysStartInPieces", {"AT\r\r\n^SYS", "START\r\n\r\nO", "K\r\n"}, Verbose, Numeric, Ok, Verbose, 3,
                  {"^SYSSTART"}},
        ReplyCase{"RdyBeforeEcho", {"RDY\r\n", "AT\r0\r"}, Verbose, Numeric, Ok, Numeric, 2, {"RDY"}},
        ReplyCase{"NumericRingBeforeReply", {"AT\r2\r0\r"}, Verbose, Numeric, Ok, Numeric, 1, {"RING"}},
        ReplyCase{"NumericRingAlone", {"AT\r2\r"}, Verbose, Numeric, TimedOut, "", 4, {"RING"}},
        ReplyCase{"NumericLineCutBeforeItsLineFeed", {"AT\r^SYSSTART\r", "\n0\r"}, Verbose, Numeric, Ok, Numeric, 2,
                  {"^SYSSTART"}},
        ReplyCase{"RegistrationGluedBeforeOk", {"AT\r\r\n+CREG: 2\r\n\r\nOK\r\n"}, Verbose, Numeric, Ok, Verbose, 1,
                  {"+CREG: 2"}},
        ReplyCase{"UndervoltageAfterOk", {"AT\r\r\nOK\r\n\r\n^SBC: Undervoltage\r\n"}, Verbose, Numeric, Ok,
                  Verbose, 1, {"^SBC: Undervoltage"}},
        ReplyCase{"BreakThenShutdownAfterError", {"AT\r\r\nERROR\r\n\0\r\n^SHUTDOWN\r\n"s}, Verbose, Numeric,
                  ModemError, "\r\nERROR\r\n", 1, {"^SHUTDOWN"}},
        ReplyCase{"CallReadyAndSmsReady", {"\r\nCall Ready\r\n", "\r\nSMS Ready\r\n", "AT\r\r\nOK\r\n"}, Verbose,
                  Numeric, Ok, Verbose, 3, {"Call Ready", "SMS Ready"}},
        // A job that waits for a call names the line, which is then its reply.
        ReplyCase{"RingNamedIsTheReply", {"\r\nRING\r\n"}, "\r\nRING\r\n", "2\r", Ok, "\r\nRING\r\n", 1},
        ReplyCase{"NumericRingNamedIsTheReply", {"2\r"}, "\r\nRING\r\n", "2\r", Ok, "2\r", 1},
        // The modem's own words for an error (3GPP TS 27.007, +CMEE=2).
        ReplyCase{"CmeErrorInWords", {"AT\r\r\n+CME ERROR: SIM not inserted\r\n"}, Verbose, Numeric, ModemError,
                  "\r\n+CME ERROR: SIM not inserted\r\n", 1},
        ReplyCase{"CmsError", {"\r\n+CMS ERROR: 310\r\n"}, Verbose, Numeric, ModemError, "\r\n+CMS ERROR: 310\r\n", 1},
        // "+CME ERROR: 10" holds the numeric OK's "0\r": never a success.
        ReplyCase{"CmeNumberIsNoNumericOk", {"AT\r+CME ERROR: 10\r", "\n"}, Verbose, Numeric, ModemError,
                  "+CME ERROR: 10\r", 1},
        ReplyCase{"CmeErrorAfterAtv0", {"+CME ERROR: 10\r\n"}, Verbose, Numeric, ModemError, "+CME ERROR: 10\r\n", 1},
        ReplyCase{"OkAfterCmeErrorIsNotTheReply", {"\r\n+CME ERROR: 3\r\n\r\nOK\r\n"}, Verbose, Numeric, ModemError,
                  "\r\n+CME ERROR: 3\r\n\r\nOK\r\n", 1},
        ReplyCase{"CaseMatters", {"\r\nok\r\n"}, Verbose, Numeric, Failed, "\r\nok\r\n", 1},
        ReplyCase{"NothingExpectedOk", {Verbose}, nullptr, nullptr, Failed, Verbose, 1},
        ReplyCase{"NothingExpectedError", {"\r\nERROR\r\n"}, nullptr, nullptr, ModemError, "\r\nERROR\r\n", 1},
        ReplyCase{"NoAlternative", {"0\r"}, Verbose, nullptr, Failed, "0\r", 1},
        ReplyCase{"SilenceThenReply", {"", "", Verbose}, Verbose, Numeric, Ok, Verbose, 3}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ReplyReaderTest, EqualIsNotYetATimeOut) {
    Fake->Reads = {{"", {}, 100}, {"", {}, 100}};
    EXPECT_EQ(Search(100), TimedOut);
    EXPECT_EQ(Fake->ReadSizes.size(), 2u);
}

TEST_F(ReplyReaderTest, ZeroTimeOutStillReadsOnce) {
    EXPECT_EQ(Search(0), TimedOut);
    EXPECT_EQ(Fake->ReadSizes.size(), 1u);

    Fake->ReadSizes.clear();
    Script({Verbose});
    EXPECT_EQ(Search(0), Ok);
}

TEST_F(ReplyReaderTest, ReplyCompletedByALateReadIsAccepted) {
    Fake->Reads = {{"\r\nO", {}, 90}, {"K\r\n", {}, 500}};
    EXPECT_EQ(Search(100), Ok);
}

TEST_F(ReplyReaderTest, TickWrapsAround) {
    Fake->Tick = 0xFFFFFF00u;
    EXPECT_EQ(Search(1000), TimedOut);
    EXPECT_EQ(Fake->ReadSizes.size(), 11u);
}

TEST_F(ReplyReaderTest, StopAlreadySignalledReadsNothingAndIsConsumed) {
    Stop.Signal();
    Script({Verbose});
    EXPECT_EQ(Search(), Stopped);
    EXPECT_TRUE(Fake->ReadSizes.empty());
    EXPECT_FALSE(Stop.IsSignalled());
}

TEST_F(ReplyReaderTest, StopDuringAReadEndsAfterIt) {
    Script({"AT\r", "\r\nOK"});
    Fake->BeforeRead = [&](int index) {
        if (index == 1) Stop.Signal();
    };
    EXPECT_EQ(Search(), Stopped);
    EXPECT_EQ(Fake->ReadSizes.size(), 2u);
    EXPECT_FALSE(Stop.IsSignalled());
}

TEST_F(ReplyReaderTest, CompleteReplyWinsOverAPendingStop) {
    Script({Verbose});
    Fake->BeforeRead = [&](int) { Stop.Signal(); };
    EXPECT_EQ(Search(), Ok);
    EXPECT_TRUE(Stop.IsSignalled()) << "left for the next poll";
}

TEST_F(ReplyReaderTest, StopWinsOverTimeOut) {
    Fake->Reads = {{"", {}, 5000}};
    Fake->BeforeRead = [&](int) { Stop.Signal(); };
    EXPECT_EQ(Search(100), Stopped);
}

TEST_F(ReplyReaderTest, FloodFillsTheBufferThenOnlyWaits) {
    Script({std::string(3000, 'x')});
    EXPECT_EQ(Search(1000), TimedOut);
    ASSERT_GE(Fake->ReadSizes.size(), 3u);
    EXPECT_EQ(Fake->ReadSizes[0], 1024u);
    for (size_t i = 1; i < Fake->ReadSizes.size(); ++i) EXPECT_EQ(Fake->ReadSizes[i], 0u) << i;
}

TEST_F(ReplyReaderTest, FloodInPiecesAsksForWhatIsLeft) {
    Fake->Reads = {{std::string(1000, 'x'), {}, 1}, {std::string(100, 'y'), {}, 1}};
    EXPECT_EQ(Search(50), TimedOut);
    ASSERT_GE(Fake->ReadSizes.size(), 3u);
    EXPECT_EQ(Fake->ReadSizes[1], 24u);
    EXPECT_EQ(Fake->ReadSizes[2], 0u);
}

TEST_F(ReplyReaderTest, FullBufferEndingInCarriageReturnIsAReply) {
    Script({std::string(1023, 'x') + "\r"});
    EXPECT_EQ(Search(), Failed);
    EXPECT_EQ(Out[1023], '\r');
}

struct ReadFailureCase {
    const char* Name;
    std::vector<SysResult> Answers;  // the first reads; a complete reply follows them
    ReplyCode Result;
    int Clears;
    std::string Shown;  // empty when nothing is shown
};

void PrintTo(const ReadFailureCase& c, std::ostream* os) { *os << c.Name; }

class ReadFailureTest : public ReplyReaderTest, public testing::WithParamInterface<ReadFailureCase> {};

TEST_P(ReadFailureTest, AttemptsAndReport) {
    const ReadFailureCase& c = GetParam();
    for (const SysResult& answer : c.Answers) Fake->Reads.push_back({"", answer});
    Script({Verbose});
    Out[0] = '#';
    EXPECT_EQ(Search(), c.Result);
    EXPECT_EQ(Fake->Count("ClearLineErrors"), c.Clears);
    EXPECT_EQ(MessageTexts(), c.Shown.empty() ? Strings{} : Strings{c.Shown});
    if (c.Result == Failed) {
        EXPECT_EQ(Out[0], '#');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadFailureTest,
    testing::Values(
        ReadFailureCase{"AbortedOnce", {Aborted}, Ok, 1, ""},
        ReadFailureCase{"AbortedTwice", {Aborted, Aborted}, Failed, 1,
                        TransferFailure("ReadFile", Aborted)},
        ReadFailureCase{"PendingOnce", {Pending}, Ok, 0, ""},
        ReadFailureCase{"PendingTwiceReadsNothing", {Pending, Pending}, Ok, 0, ""},
        ReadFailureCase{"PendingThenAborted", {Pending, Aborted}, Failed, 0,
                        TransferFailure("ReadFile", Aborted)},
        ReadFailureCase{"OtherCode", {IoError}, Failed, 0, TransferFailure("ReadFile", IoError)},
        ReadFailureCase{"OtherOnSecondAttempt", {Aborted, IoError}, Failed, 1,
                        TransferFailure("ReadFile", IoError)}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ReplyReaderTest, ReadFailureWithoutOwnerShowsNothing) {
    Port.OwnerWindow = nullptr;
    Fake->Reads = {{"", IoError}};
    EXPECT_EQ(Search(), Failed);
    EXPECT_TRUE(Window.Messages().empty());
}

TEST_F(ReplyReaderTest, NothingCarriesOverBetweenCalls) {
    Script({"\r\nO"});
    EXPECT_EQ(Search(200), TimedOut);
    Script({"K\r\n"});
    EXPECT_EQ(Search(200), TimedOut);
}

// The information reader gathers the same way, but past the first line end.
TEST_F(ReplyReaderTest, InformationReplyIsReadToItsFinalCode) {
    Script({"AT+CSQ\r\r\n+CSQ: 1", "7,99\r\n", "\r\nO", "K\r\n"});
    InfoReply reply;
    EXPECT_EQ(Port.ReadInfoReply("AT+CSQ\r", 300, reply), Ok);
    EXPECT_EQ(reply.Lines, Strings{"+CSQ: 17,99"});
    EXPECT_EQ(Fake->ReadSizes.size(), 4u);

    Fake->ReadSizes.clear();
    Script({"\r\n+CSQ: 17,99\r\n"});
    EXPECT_EQ(Port.ReadInfoReply("AT+CSQ\r", 300, reply), TimedOut);
    EXPECT_EQ(reply.Code, TimedOut);
    EXPECT_TRUE(reply.Lines.empty());
}
