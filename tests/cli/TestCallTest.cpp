// kestrelix-cli --call against one kestrelix-modem process with two ports, as in the
// workshop: COM1 the computer's modem, COM2 the device's, each configured by the job
// first. What the operator sees (rows, exit status, the report) and what the modems are
// left as (their state file: on-hook) in one table; stops during the call; refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "engine/Messages.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/CallStages.h"

namespace {

namespace fs = std::filesystem;

// A modem process at ten times the network's pace: a ring every half second, S7 = 6 s.
struct ModemProcess : ChildProcess {
    explicit ModemProcess(std::vector<std::string> args) : ChildProcess(KX_MODEM_PATH, std::move(args)) {}
};

struct TestCallTest : CliTest {
    std::string State = Home.Path() + "/state.json";
    std::string Report = Home.Path() + "/call.csv";
    std::unique_ptr<ModemProcess> Modems;

    // device: the options of COM2's group; caller those of COM1's; network those of both.
    void StartModems(const std::vector<std::string>& device, const std::vector<std::string>& caller = {},
                     const std::vector<std::string>& network = {}) {
        std::vector<std::string> args = {"--time-scale", "10", "--state", State, "--speed", "9600"};
        args.insert(args.end(), network.begin(), network.end());
        args.insert(args.end(), {"--com", "1", "--profile", Home.Path() + "/p1"});
        args.insert(args.end(), caller.begin(), caller.end());
        args.insert(args.end(), {"--com", "2", "--profile", Home.Path() + "/p2"});
        args.insert(args.end(), device.begin(), device.end());
        Modems = std::make_unique<ModemProcess>(args);
        ASSERT_TRUE(Modems->WaitForOutput("COM2 /dev/pts/")) << Modems->Stderr();
    }
    void Configure(int com, const char* place) {
        CliProcess job({"--com", std::to_string(com), "--place", place});
        ASSERT_EQ(job.Wait(), 0) << job.Stdout();
    }
    std::string Stages() const { return gCallStages(State); }
    void TearDown() override {
        if (Modems) {
            Modems->Signal(SIGTERM);
            Modems->Wait();
        }
        CliTest::TearDown();
    }
};

constexpr const char* OnHook = "COM1:on-hook COM2:on-hook ";

void ExpectInOrder(const std::string& out, const std::vector<std::string>& rows) {
    size_t at = 0;
    for (const std::string& row : rows) {
        const size_t found = out.find(row, at);
        EXPECT_NE(found, std::string::npos) << row << "\n" << out;
        if (found != std::string::npos) at = found + row.size();
    }
}

TEST_F(TestCallTest, TheWorkshopFlow) {
    const std::string restarted = "Получен ответ \"^SYSSTART\"";
    const std::string ring1 = gFormat(CallMsg::Ring, 1), ring2 = gFormat(CallMsg::Ring, 2);
    const std::string answered = gFormat(CallMsg::AnsweredByItself, "1");
    const auto cause = [](const char* row, int reason) { return gFormat(CallMsg::CauseNumber, row, reason); };
    const std::string v110 =
        "Сеть не поддерживает тип соединения AT+CBST=7,0,1 (V.32). Повтор звонка с AT+CBST=71,0,1 (V.110).";
    const struct {
        const char* Name;
        bool DeviceConfigured;
        std::vector<std::string> Device;  // COM2's options
        std::vector<std::string> Extra;   // the call's options
        int Exit;
        std::vector<std::string> Rows;
        std::vector<std::string> Report;  // Outcome to Bearer
        bool AtTheMeter = false;          // no --answer-com: the device's modem is out of reach
        std::vector<std::string> Caller = {};   // COM1's options
        std::vector<std::string> Network = {};  // the network's
        const char* Number = "+0002";
    } cases[] = {
        {"StoredProfileAnswers", true, {}, {}, 0,
         {"Выполнение команды AT+CFUN=1,1", restarted, "Набор номера +0002", ring1, ring2, answered,
          "Соединение установлено: \"CONNECT 9600\"", "Данные переданы без искажений: 1024 байт", "Выполнение команды ATH",
          CallMsg::OtherSideEnded, CallMsg::Passed},
         {"passed", "CONNECT 9600", "", "1024", "", "yes", "", "7"}},
        {"NeverStoredRingsUnanswered", false, {}, {}, 1,
         {restarted, ring1, ring2, "но сам не ответил! Проверьте, что он настроен для подключения к прибору (ATS0=2)",
          "(причина 19)", CallMsg::Failed},
         {"not answered", "", "", "", "", "yes", "19", "7"}},
        {"WithoutRestartProfileUnproven", true, {}, {"--no-restart"}, 0,
         {CallMsg::ProfileNotProven, answered, CallMsg::Passed}, {"passed", "CONNECT 9600", "", "1024", "", "no", "", "7"}},
        {"AtTheMeter", true, {}, {}, 0,
         {"Набор номера +0002", "Соединение установлено: \"CONNECT 9600\"", "Выполнение команды ATH", CallMsg::Passed},
         {"passed", "CONNECT 9600", "", "", "", "", "", "7"}, true},
        {"RestartRefusedCallsWithoutIt", true, {"--answer", "AT+CFUN\\x3D1,1=\\r\\nERROR\\r\\n"}, {}, 0,
         {"Выполнение команды AT+CFUN=1,1", CallMsg::RestartRefused, answered, CallMsg::Passed},
         {"passed", "CONNECT 9600", "", "1024", "", "no", "", "7"}},
        {"BusyWithItsCause", true, {"--busy"}, {}, 1,
         {"Получен ответ \"BUSY\"", "Получен ответ \"+CAUSE: 8:17\"", cause(CallMsg::Busy, 17), CallMsg::Failed},
         {"busy", "", "", "", "", "yes", "17", "7"}},
        {"DeviceOffTheNetwork", true, {"--no-network"}, {}, 1,
         {"Получен ответ \"+CAUSE: 8:18\"", cause(CallMsg::DeviceUnreachable, 18), CallMsg::Failed},
         {"not reached", "", "", "", "", "yes", "18", "7"}},
        {"DroppedMidTransfer", true, {"--drop-call-after", "400"}, {}, 1,
         {"Проверка данных", CallMsg::Dropped, CallMsg::Failed}, {"dropped", "CONNECT 9600", "", "", "", "yes", "", "7"}},
        {"CorruptLink", true, {"--corrupt", "0.01"}, {}, 1,
         {"Проверка данных", "Данные искажены (от компьютера к прибору)! Первый неверный байт: ", CallMsg::Failed},
         {"data damaged", "CONNECT 9600", "", "", "", "yes", "", "7"}},
        {"CallerWithoutDataService", true, {}, {}, 1,
         {"Набор номера +0002", "Получен ответ \"+CAUSE: 8:57\"", cause(CallMsg::CallerNoData, 57), CallMsg::Failed},
         {"refused by network", "", "", "", "", "yes", "57", "7"}, false, {"--no-data"}},
        {"DeviceWithoutDataService", true, {"--no-data"}, {}, 1,
         {"Набор номера +0002", "Получен ответ \"+CAUSE: 8:88\"", cause(CallMsg::DeviceNoData, 88), CallMsg::Failed},
         {"refused by network", "", "", "", "", "yes", "88", "7"}},
        // Unconfigured, it speaks in words: under ATV0 a +CRING is RING's 2 and tells no type.
        {"DataArrivesAsVoice", false, {"--data-as-voice"}, {}, 1,
         {ring1, ring2, "Получен ответ \"+CAUSE: 8:19\"", cause(CallMsg::RangAsVoice, 19), CallMsg::Failed},
         {"not answered", "", "", "", "", "yes", "19", "7"}},
        {"V110OnlyNetwork", true, {}, {}, 0,
         {"Набор номера +0002", "Получен ответ \"+CAUSE: 8:65\"", v110, "Набор номера +0002", answered,
          "Данные переданы без искажений: 1024 байт", CallMsg::OtherSideEnded,
          "Звонок прошёл с типом соединения AT+CBST=71,0,1 (V.110): укажите его в программе опроса приборов.",
          CallMsg::Passed},
         {"passed", "CONNECT 9600", "", "1024", "", "yes", "", "71"}, false, {}, {"--network-bearers", "71"}},
        {"OneBearerAskedOnAV110OnlyNetwork", true, {}, {"--cbst", "7"}, 1,
         {"Получен ответ \"+CAUSE: 8:65\"", cause("Сеть не поддерживает тип соединения AT+CBST=7,0,1 (V.32).", 65),
          CallMsg::Failed},
         {"refused by network", "", "", "", "", "yes", "65", "7"}, false, {}, {"--network-bearers", "71"}},
        {"NumberNobodyHas", true, {}, {}, 1,
         {"Набор номера +0099", "Получен ответ \"+CAUSE: 8:1\"", cause(CallMsg::NoSuchNumber, 1), CallMsg::Failed},
         {"refused by network", "", "", "", "", "yes", "1", "7"}, false, {}, {}, "+0099"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const char* profile : {"/p1", "/p2"}) fs::remove(Home.Path() + profile);
        fs::remove(Report);
        StartModems(c.Device, c.Caller, c.Network);
        Configure(1, "computer");
        if (c.DeviceConfigured) Configure(2, "device");
        const std::string stored[] = {FileText(Home.Path() + "/p1"), FileText(Home.Path() + "/p2")};
        std::vector<std::string> args = {"--call", c.Number, "--com", "1", "--report", Report};
        if (!c.AtTheMeter) args.insert(args.end(), {"--answer-com", "2"});
        args.insert(args.end(), c.Extra.begin(), c.Extra.end());
        CliProcess call(args);
        EXPECT_EQ(call.Wait(), c.Exit) << call.Stdout();
        ExpectInOrder(call.Stdout(), c.Rows);
        if (c.AtTheMeter) {
            EXPECT_EQ(call.Stdout().find("RING"), std::string::npos) << "its port is not read";
        }
        EXPECT_EQ(Stages(), OnHook);
        // Asked for causes and dialled with another bearer in the active profiles alone.
        EXPECT_EQ(FileText(Home.Path() + "/p1"), stored[0]);
        EXPECT_EQ(FileText(Home.Path() + "/p2"), stored[1]);
        // A header and one row of eleven fields, the last ones may be empty.
        const Lines lines = SplitLines(FileText(Report));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ';'), 10);
        Lines row = ReportRows(Report).at(0);
        row.resize(11);
        EXPECT_EQ(Lines(row.begin(), row.begin() + 3), (Lines{"COM1", c.AtTheMeter ? "" : "COM2", "'" + std::string(c.Number)}));
        const Lines& want = c.Report;
        EXPECT_EQ(row[3], want[0]);
        EXPECT_EQ(row[4], want[1]);
        EXPECT_EQ(row[6], want[3]);
        EXPECT_EQ(row[8], want[5]);
        EXPECT_EQ(Lines(row.begin() + 9, row.end()), Lines(want.begin() + 6, want.end()));
        if (c.Exit == 0 && !c.AtTheMeter) {
            EXPECT_GT(std::stoi(row[7]), 0);
        }
        Modems->Signal(SIGTERM);
        Modems->Wait();
        Modems.reset();
    }
}

// A stop while the device's modem rings and one while the data crosses: the call is
// ended on both modems before the ports close.
TEST_F(TestCallTest, AStopLeavesBothModemsOnHook) {
    const struct {
        const char* Name;
        bool DeviceConfigured;  // else it rings and never answers
        std::vector<std::string> Device;
        std::string StopAt;     // the row after which Ctrl+C comes
        std::vector<std::string> Rows;
    } cases[] = {
        {"WhileRinging", false, {}, gFormat(CallMsg::Ring, 1), {"Выполнение команды ATH", CallMsg::Stopped}},
        {"DuringTheDataCheck", true, {"--bearer", "2400"}, "Проверка данных",
         {"Выполнение команды +++", "Выполнение команды ATH", CallMsg::OtherSideEnded, CallMsg::Stopped}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const char* profile : {"/p1", "/p2"}) fs::remove(Home.Path() + profile);
        StartModems(c.Device);
        Configure(1, "computer");
        if (c.DeviceConfigured) Configure(2, "device");
        CliProcess call({"--call", "+0002", "--com", "1", "--answer-com", "2", "--no-restart"});
        ASSERT_TRUE(call.WaitForOutput(c.StopAt)) << call.Stdout();
        call.Signal(SIGINT);
        EXPECT_EQ(call.Wait(), 1);
        ExpectInOrder(call.Stdout(), c.Rows);
        EXPECT_EQ(call.Stdout().find(CallMsg::Passed), std::string::npos);
        EXPECT_EQ(Stages(), OnHook);
        Modems->Signal(SIGTERM);
        Modems->Wait();
        Modems.reset();
    }
}

// Two calls that must not pass: one whose rows nobody reads any more (| head -3), which
// stops as at a Ctrl+C with both modems on-hook, and one whose calling modem refuses ATH,
// which the utility cannot prove to be out of the call.
TEST_F(TestCallTest, NoPassWhenTheOutputClosesOrTheModemStaysInTheCall) {
    const struct {
        const char* Name;
        std::vector<std::string> Caller;  // COM1's options
        bool CloseOutput;
        std::vector<std::string> Rows;
        const char* Word;
        bool OnHookAfter;  // else the device's hang-up may or may not have ended the caller's call
    } cases[] = {
        {"OutputClosed", {}, true, {}, "stopped", true},
        {"CallerRefusesATH", {"--answer", "ATH=\\r\\nERROR\\r\\n"}, false,
         {"Выполнение команды +++", "Выполнение команды ATH", CallMsg::NotOnHook, CallMsg::Failed}, "not hung up", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const char* profile : {"/p1", "/p2"}) fs::remove(Home.Path() + profile);
        fs::remove(Report);
        StartModems({}, c.Caller);
        Configure(1, "computer");
        Configure(2, "device");
        const std::vector<std::string> args = {"--call", "+0002", "--com", "1", "--answer-com", "2", "--no-restart",
                                               "--report", Report};
        std::unique_ptr<ChildProcess> call;
        if (c.CloseOutput) {
            std::vector<std::string> shell = {"-c", "\"$0\" \"$@\" | head -3; exit ${PIPESTATUS[0]}", KX_CLI_PATH};
            shell.insert(shell.end(), args.begin(), args.end());
            call = std::make_unique<ChildProcess>("/bin/bash", shell);
        } else {
            call = std::make_unique<CliProcess>(args);
        }
        EXPECT_EQ(call->Wait(), 1) << call->Stdout();
        if (c.CloseOutput) {
            EXPECT_EQ(SplitLines(call->Stdout()).size(), 3u);
        }
        ExpectInOrder(call->Stdout(), c.Rows);
        EXPECT_EQ(call->Stdout().find(CallMsg::Passed), std::string::npos);
        EXPECT_EQ(ReportRows(Report).at(0).at(3), c.Word);
        if (c.OnHookAfter) {
            EXPECT_EQ(Stages(), OnHook);
        }
        Modems->Signal(SIGTERM);
        Modems->Wait();
        Modems.reset();
    }
}

TEST_F(TestCallTest, BadNumbersAndOnePortTwiceAreRefusedBeforeAnyPortOpens) {
    StartModems({});
    // COM3 leads to the very terminal COM1 does.
    LinkPort(3, fs::read_symlink(Home.PortsFolder() + "/COM1").string());
    const struct {
        const char* Name;
        std::vector<std::string> Args;
        const char* Line;
    } cases[] = {
        {"Letters", {"--call", "12a45"}, CallMsg::BadNumber},
        {"SpacesOnly", {"--call", "   "}, CallMsg::BadNumber},
        {"VoiceCall", {"--call", "12345;"}, CallMsg::BadNumber},
        {"TwentyOneDigits", {"--call", "123456789012345678901"}, CallMsg::BadNumber},
        {"EscapeSequence", {"--call", "\x1b[2J123"}, CallMsg::BadNumber},
        {"AnswerOnTheCallersPort", {"--call", "+0002", "--com", "1", "--answer-com", "1"}, CallMsg::SamePort},
        {"AnswerOnTheSameDevice", {"--call", "+0002", "--com", "1", "--answer-com", "3"}, CallMsg::SamePort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> args = c.Args;
        args.insert(args.end(), {"--report", Report});
        CliProcess call(args);
        EXPECT_EQ(call.Wait(), 2);
        EXPECT_EQ(call.Stdout(), "");
        const Lines err = SplitLines(call.Stderr());
        ASSERT_EQ(err.size(), 1u) << call.Stderr();
        EXPECT_EQ(err[0].rfind(std::string("kestrelix-cli: ") + c.Line, 0), 0u) << err[0];
        EXPECT_EQ(err[0].find('\x1b'), std::string::npos);
        EXPECT_FALSE(fs::exists(Report));
    }
    EXPECT_EQ(Stages(), OnHook);
}

}  // namespace
