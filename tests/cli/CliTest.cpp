#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/CliOptions.h"
#include "engine/CallMessages.h"
#include "serial/SerialPort.h"
#include "tests/cli/CliFixture.h"
#include "tests/engine/RealAnswers.h"

namespace {

TEST(CliOptions, AcceptsTheFourChoices) {
    const struct {
        Lines Args;
        std::vector<int> Com;
        int Model, Speed, Place;
        bool Configure, Check;
    } cases[] = {
        {{}, {1}, 0, 3, 0, false, false},
        {{"--com", "32", "--model", "5", "--speed", "115200", "--place", "computer"}, {32}, 5, 9, 1, true, false},
        {{"--model", "Cinterion MC52i", "--speed", "1200", "--place", "device", "--com", "1"}, {1}, 2, 0, 0, true, false},
        {{"--model", "novacom gns-300rs"}, {1}, 4, 3, 0, true, false},
        {{"--check", "--com", "3,5-8"}, {3, 5, 6, 7, 8}, 0, 3, 0, false, true},
        {{"--com", "9-9,2", "--place", "device", "--check"}, {9, 2}, 0, 3, 0, true, true},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = gParseCliOptions(c.Args);
        EXPECT_EQ(parsed.Error, "");
        EXPECT_EQ(parsed.Options.ComNumbers, c.Com);
        EXPECT_EQ(parsed.Options.ModelIndex, c.Model);
        EXPECT_EQ(parsed.Options.SpeedIndex, c.Speed);
        EXPECT_EQ(parsed.Options.Place, c.Place);
        EXPECT_EQ(parsed.Options.Configure, c.Configure);
        EXPECT_EQ(parsed.Options.Check, c.Check);
    }
    EXPECT_EQ(gParseCliOptions({"--report", "out.csv"}).Options.ReportFile, "out.csv");
}

// Each with the line that comes before the usage.
const struct {
    Lines Args;
    std::string Line;
} BadArguments[] = {
    {{"--com"}, "--com needs a value"},
    {{"--model", "6"}, "bad value for --model: 6"},
    {{"--model", "-1"}, "bad value for --model: -1"},
    {{"--model", "Siemens"}, "bad value for --model: Siemens"},
    {{"--speed", "9601"}, "bad value for --speed: 9601"},
    {{"--speed", "0"}, "bad value for --speed: 0"},
    {{"--place", "car"}, "bad value for --place: car"},
    {{"--verbose"}, "unknown argument: --verbose"},
    {{"3"}, "unknown argument: 3"},
    {{"--report"}, "--report needs a value"},
    // An empty name is no file: the run must not end with a report it could never write.
    {{"--report", ""}, "--report needs a file name"},
    {{"--check", "--report", "", "--com", "3"}, "--report needs a file name"},
    {{"--signal", "0"}, "bad value for --signal: 0"},
    {{"--signal", "-5"}, "bad value for --signal: -5"},
    {{"--signal", "1.5"}, "bad value for --signal: 1.5"},
    {{"--signal", "x"}, "bad value for --signal: x"},
    {{"--signal", "--com", "3,4"}, "--signal takes one COM port and no other job"},
    {{"--signal", "--check"}, "--signal takes one COM port and no other job"},
    {{"--signal", "5", "--model", "1"}, "--signal takes one COM port and no other job"},
    {{"--call", "+0002", "--cbst"}, "--cbst needs a value"},
};

const std::string ComAllowed =
    "; --com takes COM numbers from 1 to 256, one by one or as ranges, separated by commas, as in 3,5-8";

// A bad --com gets one line: what is wrong, then what is allowed.
const struct {
    Lines Args;
    std::string Line;
} BadComLists[] = {
    {{"--com", "0"}, "bad value for --com 0: there is no COM0"},
    {{"--com", "257"}, "bad value for --com 257: there is no COM257"},
    {{"--com", "5-3"}, "bad value for --com 5-3: the range 5-3 runs backwards"},
    {{"--com", "1,,2"}, "bad value for --com 1,,2: an empty place in the list"},
    {{"--com", "1-100000"}, "bad value for --com 1-100000: there is no COM100000"},
    {{"--com", "COM3"}, "bad value for --com COM3: \"COM3\" is not a number"},
    {{"--com", "3x"}, "bad value for --com 3x: \"3x\" is not a number"},
    {{"--com", "0-2"}, "bad value for --com 0-2: there is no COM0"},
    {{"--com", "1,"}, "bad value for --com 1,: an empty place in the list"},
    {{"--com", ""}, "bad value for --com : the list is empty"},
    {{"--com", "-4"}, "bad value for --com -4: \"\" is not a number"},
    {{"--com", "007"}, "bad value for --com 007: there is no COM007"},
    {{"--com", "99999999999"}, "bad value for --com 99999999999: there is no COM99999999999"},
    {{"--com", "3", "--com", "4"}, "--com is given twice, give every port in one list"},
    {{"--com", "3", "--check", "--com", "3"}, "--com is given twice, give every port in one list"},
};

TEST(CliOptions, ComListsReachCom256AndKeepRepeatsInOrder) {
    const struct {
        std::string List;
        std::vector<int> Com;
    } cases[] = {
        {"256", {256}}, {"33", {33}}, {"255-256,1", {255, 256, 1}}, {"3,3-5", {3, 3, 4, 5}}, {"7-7", {7}},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = gParseCliOptions({"--com", c.List});
        EXPECT_EQ(parsed.Error, "") << c.List;
        EXPECT_EQ(parsed.Options.ComNumbers, c.Com) << c.List;
    }
    std::vector<int> all(256);
    for (int n = 1; n <= 256; ++n) all[n - 1] = n;
    EXPECT_EQ(gParseCliOptions({"--com", "1-256"}).Options.ComNumbers, all);
}

TEST(CliOptions, RejectsBadArguments) {
    for (const auto& c : BadArguments) EXPECT_EQ(gParseCliOptions(c.Args).Error, c.Line) << c.Args[0];
    for (const auto& c : BadComLists) EXPECT_EQ(gParseCliOptions(c.Args).Error, c.Line + ComAllowed) << c.Args[1];
}

// The runs that cannot go together: when several rules are broken at once, the one for
// the later kind of run (signal, PIN, call) is the line shown; a refusal that says what
// is allowed comes without the usage.
TEST(CliOptions, RunsThatCannotGoTogether) {
    const std::string SimPinAlone = "--sim-pin runs alone, without --check, --model, --speed or --place";
    const std::string CallAlone = "--call takes one COM port and no other job";
    const std::string SignalAlone = "--signal takes one COM port and no other job";
    const std::string CallOnly = "--answer-com and --no-restart go with --call";
    const struct {
        Lines Args;
        std::string Line;
        bool Usage;
    } cases[] = {
        {{"--sim-pin", "--com", "1-3", "--report", "r.csv"}, "", true},
        {{"--sim-pin", "--place", "device"}, SimPinAlone, true},
        {{"--sim-pin", "--signal"}, SignalAlone, true},
        {{"--check", "--signal", "--sim-pin"}, SimPinAlone, true},
        {{"--signal", "--report", "r.csv", "--call", "123"}, CallAlone, true},
        {{"--sim-pin", "--check", "--call", "123"}, CallAlone, true},
        {{"--call", "123", "--com", "1,2"}, CallAlone, true},
        {{"--call", "123", "--speed", "9600"}, CallAlone, true},
        {{"--answer-com", "2"}, CallOnly, true},
        {{"--no-restart", "--signal", "--check"}, CallOnly, true},
        {{"--call", "+12345678901234567890", "--com", "3", "--answer-com", "4", "--no-restart"}, "", true},
        {{"--call", "123", "--answer-com", "1"}, CallMsg::SamePort, false},
        {{"--answer-com", "1", "--check", "--call", "123"}, CallAlone, true},
        {{"--signal", "5", "--com", "7"}, "", true},
        {{"--help", "--list", "-h"}, "", true},
        {{"--cbst", "71"}, "--cbst goes with --call", true},
        {{"--call", "123", "--cbst", "71"}, "", true},
        {{"--call", "123", "--cbst", "0"}, "bad value for --cbst: 0; it takes a +CBST speed, 1-134 (7 V.32, 71 V.110)", false},
        {{"--call", "123", "--cbst", "7,0,1"},
         "bad value for --cbst: 7,0,1; it takes a +CBST speed, 1-134 (7 V.32, 71 V.110)", false},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = gParseCliOptions(c.Args);
        EXPECT_EQ(parsed.Error, c.Line) << c.Args[0] << " " << c.Args[1];
        EXPECT_EQ(parsed.ShowUsage, c.Usage) << c.Args[0] << " " << c.Args[1];
    }
}

TEST_F(CliTest, ConfiguresTheModemAndPrintsTheLog) {
    StartModem(3, 9600);
    CliProcess cli({"--com", "3", "--model", "1", "--speed", "9600", "--place", "device"});
    EXPECT_EQ(cli.Wait(), 0);
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_EQ(out.size(), 24u);
    EXPECT_EQ(out[0], "Открытие СОМ3");
    EXPECT_EQ(out[1], "Поиск модема на скорости 9600 бит/сек.");
    EXPECT_EQ(out[2], "Выполнение команды AT+IPR=9600");
    EXPECT_EQ(out[21], "Выполнение команды AT&W");
    EXPECT_EQ(out[22], "Получен ответ \"0\"");
    EXPECT_EQ(out[23], "Операция завершена успешно!");
    EXPECT_EQ(cli.Stderr(), "");
    EXPECT_EQ(Modem->StoredProfile().Speed, 9600u);
}

TEST_F(CliTest, FailureBoxGoesOnceToStderrAndTheStatusIsOne) {
    StartModem(2, 115200, true);
    CliProcess cli({"--com", "2", "--model", "Novacom MC52i", "--speed", "115200"});
    EXPECT_EQ(cli.Wait(), 1);
    const Lines box = {
        "При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"ERROR\".",
        "Проверьте, что SIM карта вставлена в модем, и модем зарегистрирован в сети оператора!",
        "Операция будет прекращена!",
    };
    EXPECT_EQ(SplitLines(cli.Stderr()), box);
    Lines tail = box;
    tail.push_back("Операция завершена НЕ успешно!");
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(Lines(out.end() - 4, out.end()), tail);
}

TEST_F(CliTest, PortThatCannotBeOpenedGivesStatusThree) {
    MissingPort(9);
    CliProcess cli({"--com", "9"});
    EXPECT_EQ(cli.Wait(), 3);
    EXPECT_EQ(cli.Stdout(), "Открытие СОМ9\n");
    EXPECT_EQ(cli.Stderr(), "Последовательный порт не готов!Возможно, он занят другим приложением!\n"
                            "COM9 (/nonexistent/kx-tty): такого устройства нет.\n");
}

TEST_F(CliTest, BadArgumentsGiveStatusTwoAndTheUsage) {
    for (const auto& c : BadArguments) {
        CliProcess cli(c.Args);
        EXPECT_EQ(cli.Wait(), 2) << c.Args[0];
        EXPECT_EQ(cli.Stderr().rfind("kestrelix-cli: " + c.Line + "\nusage: kestrelix-cli", 0), 0u) << cli.Stderr();
        EXPECT_EQ(cli.Stdout(), "");
    }
    // Nothing is opened, not even the good part of a list.
    StartModem(3, 9600);
    for (auto c : BadComLists) {
        if (c.Args[1].empty()) continue;  // "3," is a case of its own
        c.Args[1] = "3," + c.Args[1];
        if (c.Args.size() == 2) c.Line = "bad value for --com " + c.Args[1] + c.Line.substr(c.Line.find(':'));
        CliProcess cli(c.Args);
        EXPECT_EQ(cli.Wait(), 2) << c.Args[1];
        EXPECT_EQ(cli.Stderr(), "kestrelix-cli: " + c.Line + ComAllowed + "\n");
        EXPECT_EQ(cli.Stdout(), "");
    }
    EXPECT_EQ(Modem->ReceivedBytes(), "");
    CliProcess help({"--help"});
    EXPECT_EQ(help.Wait(), 0);
    EXPECT_NE(help.Stdout().find("--place device|computer"), std::string::npos);
}

TEST_F(CliTest, ListShowsModelsSpeedsAndWhereEachComLeads) {
    StartModem(5, 9600);
    StartModem(200, 9600);
    MissingPort(256);
    CliProcess cli({"--list"});
    EXPECT_EQ(cli.Wait(), 0);
    const std::string out = cli.Stdout();
    EXPECT_NE(out.find("5  Teleofis RX100"), std::string::npos);
    EXPECT_NE(out.find("56000 57600 115200"), std::string::npos);
    EXPECT_NE(out.find("COM5   " + Modems[0]->DevicePath() + " (ссылка " + Modems[0]->LinkPath() + ")"),
              std::string::npos);
    // Only numbers that lead somewhere, a dangling link among them; the list ends with the last.
    EXPECT_EQ(out.find("COM6 "), std::string::npos);
    const Lines lines = SplitLines(out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "  COM200 " + Modem->DevicePath() + " (ссылка " + Modem->LinkPath() + ")");
    EXPECT_EQ(lines.back(), "  COM256 нет устройства: /nonexistent/kx-tty (ссылка " + Home.PortsFolder() +
                                "/COM256) не существует");
}

TEST_F(CliTest, CtrlCStopsTheJobAndClosesThePort) {
    StartModem(4, 9600, false, true);
    CliProcess cli({"--com", "4"});
    ASSERT_TRUE(cli.WaitForOutput("Поиск модема на скорости 9600 бит/сек."));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(SplitLines(cli.Stdout()),
              (Lines{"Открытие СОМ4", "Поиск модема на скорости 9600 бит/сек.", "Операция завершена НЕ успешно!"}));
    EXPECT_EQ(cli.Stderr(), "");
}

TEST_F(CliTest, SecondCtrlCEndsAtOnce) {
    // Opening a missing device takes five attempts half a second apart; a stop cuts them
    // short, and so does a second Ctrl+C.
    MissingPort(9);
    CliProcess cli({"--com", "9"});
    ASSERT_TRUE(cli.WaitForOutput("Открытие СОМ9"));
    // Signals sent close together may arrive as one, so they are repeated until it ends.
    do cli.Signal(SIGINT);
    while (!cli.WaitForEnd(100));
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(cli.Stderr(), "");
}

TEST_F(CliTest, CheckAloneSaysPlainlyThatNoSimIsInserted) {
    StartModem(6, 9600, true);
    CliProcess cli({"--check", "--com", "6"});
    EXPECT_EQ(cli.Wait(), 0);
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[2], "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100");
    EXPECT_EQ(out[3], "IMEI: 351998000000067");
    EXPECT_EQ(out[4], "SIM-карта: не вставлена");
    EXPECT_EQ(out[7], "Проверка завершена: модем отвечает.");
    EXPECT_EQ(cli.Stderr(), "");
    EXPECT_EQ(Modem->CommandLines(), 8) << "one probe and seven questions";
}

// Four ports at once: a good modem, one without a SIM card, one that is not there, and
// another good one; each configured and then checked.
TEST_F(CliTest, BatchReportsEveryPortAndFailsForTheOneWithoutSim) {
    StartModem(1, 9600);
    StartModem(2, 9600, true);
    MissingPort(3);
    StartModem(4, 115200);
    const std::string report = Home.Path() + "/depot.csv";
    CliProcess cli({"--com", "1-4", "--model", "2", "--speed", "9600", "--check", "--report", report});
    EXPECT_EQ(cli.Wait(), 1);
    const std::string out = cli.Stdout();

    for (int com : {1, 4}) {
        const Lines rows = PortLines(out, com);
        ASSERT_EQ(rows.size(), com == 1 ? 32u : 33u) << com;
        EXPECT_EQ(rows[0], "Открытие СОМ" + std::to_string(com));
        EXPECT_EQ(rows[rows.size() - 9], "Операция завершена успешно!");
        EXPECT_EQ(rows.back(), "Проверка завершена: модем отвечает.");
    }
    EXPECT_EQ(PortLines(out, 2).back(), "Операция завершена НЕ успешно!");
    EXPECT_EQ(PortLines(out, 3), Lines{"Открытие СОМ3"});
    const Lines box = PortLines(cli.Stderr(), 3);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box[0], "Последовательный порт не готов!Возможно, он занят другим приложением!");
    const Lines all = SplitLines(out);
    ASSERT_GE(all.size(), 5u);
    EXPECT_EQ(all[all.size() - 5], "Port   Outcome           Seconds");
    EXPECT_EQ(all[all.size() - 4].rfind("COM1   configured ", 0), 0u);
    EXPECT_EQ(all[all.size() - 3].rfind("COM2   not configured ", 0), 0u);
    EXPECT_EQ(all[all.size() - 2].rfind("COM3   port not opened ", 0), 0u);
    EXPECT_EQ(all[all.size() - 1].rfind("COM4   configured ", 0), 0u);

    std::ifstream file(report, std::ios::binary);
    const std::string csv((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBFPort;Device;Model;Speed;Place;IMEI;Outcome;Seconds;Last log row\r\n", 0), 0u);
    Lines rows = SplitLines(csv);
    ASSERT_EQ(rows.size(), 5u);
    const Lines expected[] = {
        {"COM1", Modems[0]->DevicePath(), "Cinterion MC52i", "9600", "device", "351998000000018", "configured", "",
         "Проверка завершена: модем отвечает."},
        {"COM2", Modems[1]->DevicePath(), "Cinterion MC52i", "9600", "device", "", "not configured", "",
         "Операция завершена НЕ успешно!"},
        {"COM3", "/nonexistent/kx-tty", "Cinterion MC52i", "9600", "device", "", "port not opened", "",
         "Открытие СОМ3"},
        {"COM4", Modems[2]->DevicePath(), "Cinterion MC52i", "9600", "device", "351998000000042", "configured", "",
         "Проверка завершена: модем отвечает."},
    };
    for (int i = 0; i < 4; ++i) {
        std::string row = rows[i + 1];
        ASSERT_EQ(row.back(), '\r');
        row.pop_back();
        Lines fields = Fields(row);
        ASSERT_EQ(fields.size(), 9u) << row;
        EXPECT_NE(fields[7].find(','), std::string::npos) << "seconds with a decimal comma: " << fields[7];
        fields[7].clear();
        EXPECT_EQ(fields, expected[i]);
    }
}

TEST_F(CliTest, CtrlCStopsEveryPortOfABatch) {
    for (int com = 1; com <= 4; ++com) StartModem(com, 9600, false, true);
    CliProcess cli({"--com", "1-4"});
    for (int com = 1; com <= 4; ++com)
        ASSERT_TRUE(cli.WaitForOutput("COM" + std::to_string(com) + ": Поиск модема на скорости 9600 бит/сек."));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 1);
    for (int com = 1; com <= 4; ++com)
        EXPECT_EQ(PortLines(cli.Stdout(), com),
                  (Lines{"Открытие СОМ" + std::to_string(com), "Поиск модема на скорости 9600 бит/сек.",
                         "Операция завершена НЕ успешно!"}));
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_GE(out.size(), 4u);
    for (size_t i = out.size() - 4; i < out.size(); ++i) EXPECT_NE(out[i].find(" stopped "), std::string::npos) << out[i];
    EXPECT_EQ(cli.Stderr(), "");
}

std::string Repeat(const std::string& cell, int times) {
    std::string cells;
    for (int i = 0; i < times; ++i) cells += cell;
    return cells;
}

// Redirected: one data line a reading, then the summary; the rows go to stderr. The
// modem's walk never leaves 0-31 and 99. Its number lies past the window's 32.
TEST_F(CliTest, SignalRedirectedPrintsOneLineAReadingAndTheSummary) {
    VirtualModemOptions options;
    options.ComNumber = 200;
    options.Speed = 9600;
    options.SignalWalk = true;
    options.Seed = 9;
    options.Mismatch = MismatchMode::Silent;
    Modems.push_back(std::make_unique<VirtualModem>(options));
    ASSERT_EQ(Modems.back()->Start(), "");
    CliProcess cli({"--com", "200", "--signal"});
    ASSERT_TRUE(cli.WaitForOutput("домашняя сеть\n"));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(), 0);
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_GE(out.size(), 2u);
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        const Lines f = Fields(out[i]);
        ASSERT_EQ(f.size(), 4u) << out[i];
        EXPECT_EQ(f[0].size(), 8u) << out[i];
        const int csq = std::stoi(f[2]);
        EXPECT_EQ(f[1], csq == 99 ? std::string() : std::to_string(-113 + 2 * csq)) << out[i];
        EXPECT_EQ(f[3], "домашняя сеть");
    }
    EXPECT_EQ(out.back().rfind("Измерение завершено: показаний " + std::to_string(out.size() - 1) + ";", 0), 0u)
        << out.back();
    EXPECT_EQ(SplitLines(cli.Stderr()).back(), out.back());
}

// A reader that closes the output (| head -3) stops the meter as Ctrl+C does, and a
// measurement that nobody read to its end is no success.
TEST_F(CliTest, SignalIntoAClosedOutputStopsWithStatusOne) {
    VirtualModemOptions options;
    options.ComNumber = 201;
    options.Speed = 9600;
    options.Mismatch = MismatchMode::Silent;
    Modems.push_back(std::make_unique<VirtualModem>(options));
    ASSERT_EQ(Modems.back()->Start(), "");
    ChildProcess cli("/bin/bash", {"-c", "\"$0\" \"$@\" | head -3; exit ${PIPESTATUS[0]}", KX_CLI_PATH, "--com",
                                   "201", "--signal"});
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(SplitLines(cli.Stdout()).size(), 3u);
}

// The console's meter writes the registration states of the later releases as the check
// does, from the real answers that carry them (tests/engine/RealAnswers.h).
TEST_F(CliTest, SignalShowsTheLaterRegistrationStatesOfRealAnswers) {
    int com = 210;
    for (const RealAnswer& a : RegistrationAnswers()) {
        if (std::string_view(a.Source).rfind("MM", 0) != 0 || a.Words.find(',') == std::string::npos) continue;
        VirtualModemOptions options;
        options.ComNumber = ++com;
        options.Speed = 9600;
        options.Mismatch = MismatchMode::Silent;
        options.Answers = {{"AT+CREG?", "\r\n" + a.Answer + "\r\n\r\nOK\r\n"}};
        Modems.push_back(std::make_unique<VirtualModem>(options));
        ASSERT_EQ(Modems.back()->Start(), "");
        CliProcess cli({"--com", std::to_string(com), "--signal"});
        ASSERT_TRUE(cli.WaitForOutput(a.Words + "\n")) << a.Source;
        cli.Signal(SIGINT);
        EXPECT_EQ(cli.Wait(), 0);
        EXPECT_EQ(Fields(SplitLines(cli.Stdout()).front())[3], a.Words) << a.Source;
    }
    EXPECT_EQ(com, 213);
}

// On a terminal (a pseudo-terminal made by script): the bar line drawn in place, then
// the summary row; SECONDS ends it. With no modem there is no reading: status 1.
TEST_F(CliTest, SignalOnATerminalDrawsTheBarAndEndsAfterSeconds) {
    StartModem(7, 9600);
    const std::string command = std::string(KX_CLI_PATH) + " --com 7 --signal 1";
    ChildProcess cli("/usr/bin/script", {"-qec", command, "/dev/null"});
    EXPECT_EQ(cli.Wait(), 0);
    const std::string out = cli.Stdout();
    EXPECT_NE(out.find("\r[" + Repeat("█", 11) + Repeat("░", 9) + "] -79 дБм, хороший, домашняя сеть"), std::string::npos) << out;
    EXPECT_NE(out.find("Измерение завершено: показаний "), std::string::npos) << out;
    EXPECT_EQ(out.find("9600;"), std::string::npos);

    MissingPort(8);
    CliProcess none({"--com", "8", "--signal", "1"});
    EXPECT_EQ(none.Wait(), 1);
    EXPECT_EQ(none.Stdout(), "");
}

// A modem that will not tell its level gives no reading at all: its row, the empty
// summary, status 1, and nothing made up on stdout.
TEST_F(CliTest, SignalOfAModemWithoutALevelEndsWithItsRowAndStatusOne) {
    for (const SignalFault fault : {SignalFault::Error, SignalFault::Garbage}) {
        VirtualModemOptions options;
        options.ComNumber = fault == SignalFault::Error ? 9 : 10;
        options.Speed = 9600;
        options.CsqFault = fault;
        options.Mismatch = MismatchMode::Silent;
        Modems.push_back(std::make_unique<VirtualModem>(options));
        ASSERT_EQ(Modems.back()->Start(), "");
        CliProcess cli({"--com", std::to_string(options.ComNumber), "--signal"});
        EXPECT_EQ(cli.Wait(), 1);
        const Lines err = SplitLines(cli.Stderr());
        ASSERT_GE(err.size(), 2u);
        EXPECT_EQ(err[err.size() - 2], "Модем не сообщает уровень сигнала!");
        EXPECT_EQ(SplitLines(cli.Stdout()), Lines{err.back()});
    }
}

// Sixty-four ports served by one modem process: one modem dies mid-job, one port is held
// by another program, one leads nowhere; each ends with its own cause and every other
// port is configured.
TEST_F(CliTest, BatchOfSixtyFourEndsEachFaultWithItsOwnCause) {
    ChildProcess modems(KX_MODEM_PATH, {"--speed", "9600", "--mismatch", "silent", "--com", "1-40,44-64", "--com",
                                        "41", "--hangup-after", "4", "--com", "42"});
    ASSERT_TRUE(modems.WaitForOutput("COM42 /dev/pts/")) << modems.Stderr();
    SerialPort holder;
    ASSERT_EQ(holder.Open(42), 0);
    MissingPort(43);
    CliProcess cli({"--com", "1-64", "--model", "1", "--speed", "9600"});
    EXPECT_EQ(cli.Wait(), 1);
    const Lines out = SplitLines(cli.Stdout());
    ASSERT_GE(out.size(), 65u);
    const Lines summary(out.end() - 64, out.end());
    for (int com = 1; com <= 64; ++com) {
        const std::string outcome = com == 41 ? "not configured" : com == 42 || com == 43 ? "port not opened" : "configured";
        char start[32];
        std::snprintf(start, sizeof start, "COM%-3d %s ", com, outcome.c_str());
        EXPECT_EQ(summary[com - 1].rfind(start, 0), 0u) << summary[com - 1];
    }
    EXPECT_EQ(PortLines(cli.Stderr(), 42).back().rfind("COM42 (/dev/pts/", 0), 0u);
    EXPECT_NE(PortLines(cli.Stderr(), 42).back().find(" занят"), std::string::npos);
    EXPECT_EQ(PortLines(cli.Stderr(), 43).back(), "COM43 (/nonexistent/kx-tty): такого устройства нет.");
    EXPECT_EQ(PortLines(cli.Stdout(), 41).back(), "Операция завершена НЕ успешно!");
    // Not a terminal: no progress line among the rows.
    EXPECT_EQ(cli.Stdout().find("Ports done"), std::string::npos);
    modems.Signal(SIGTERM);
    EXPECT_EQ(modems.Wait(), 0);
}

// 256 ports under a low limit on open files, the modems too: a soft limit is raised as far
// as the batch needs; a hard limit too low for it refuses the batch before anything is
// opened, as an engine left without a descriptor could neither run nor end.
TEST_F(CliTest, ALowLimitOnOpenFilesHoldsEveryPortOrOpensNone) {
    rlimit files{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &files), 0);
    if (files.rlim_max != RLIM_INFINITY && files.rlim_max < 1568) GTEST_SKIP() << "hard limit " << files.rlim_max;
    const auto underLimit = [](const std::string& limit, const std::string& program, Lines args) {
        args.insert(args.begin(), {"-c", "ulimit " + limit + " && exec \"$0\" \"$@\"", program});
        return args;
    };
    ChildProcess modems("/bin/sh", underLimit("-Sn 512", KX_MODEM_PATH, {"--speed", "9600", "--com", "1-256"}));
    ASSERT_TRUE(modems.WaitForOutput("COM256 /dev/pts/")) << modems.Stderr();
    const Lines batch = {"--com", "1-256", "--model", "1", "--speed", "9600"};
    {
        ChildProcess cli("/bin/sh", underLimit("-Sn 512", KX_CLI_PATH, batch));
        EXPECT_EQ(cli.Wait(), 0) << cli.Stderr();
        const Lines out = SplitLines(cli.Stdout());
        EXPECT_EQ(std::count_if(out.begin(), out.end(), [](const std::string& line) {
                      return line.rfind("COM", 0) == 0 && line.find(" configured ") != std::string::npos;
                  }),
                  256);
    }
    ChildProcess cli("/bin/sh", underLimit("-n 512", KX_CLI_PATH, batch));
    EXPECT_EQ(cli.Wait(), 3);
    EXPECT_EQ(cli.Stdout(), "");
    EXPECT_EQ(cli.Stderr(), "kestrelix-cli: 256 ports at once need up to 1568 open files, and the limit allows 512 "
                            "(ulimit -n); nothing was opened.\n");
    modems.Signal(SIGTERM);
    EXPECT_EQ(modems.Wait(), 0);
}

}  // namespace
