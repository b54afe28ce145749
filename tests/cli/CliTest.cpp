#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/CliOptions.h"
#include "sim/VirtualModem.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempConfigHome.h"

namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

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

const Lines BadArguments[] = {
    {"--com", "0"}, {"--com", "33"}, {"--com", "3x"}, {"--com"}, {"--model", "6"}, {"--model", "-1"},
    {"--model", "Siemens"}, {"--speed", "9601"}, {"--speed", "0"}, {"--place", "car"}, {"--verbose"}, {"3"},
    {"--report", ""}, {"--com", "5-3"}, {"--com", "0-2"}, {"--com", "1,"}, {"--com", "31-33"}, {"--report"},
};

TEST(CliOptions, RejectsBadArguments) {
    for (const auto& args : BadArguments) EXPECT_NE(gParseCliOptions(args).Error, "") << args[0];
}

struct CliTest : ::testing::Test {
    TempConfigHome Home;
    std::vector<std::unique_ptr<VirtualModem>> Modems;
    VirtualModem* Modem = nullptr;  // the last one started

    void StartModem(int com, uint32_t speed, bool noSim = false, bool silent = false) {
        VirtualModemOptions options;
        options.ComNumber = com;
        options.Speed = speed;
        options.NoSim = noSim;
        options.Silent = silent;
        options.Mismatch = MismatchMode::Silent;
        Modems.push_back(std::make_unique<VirtualModem>(options));
        Modem = Modems.back().get();
        ASSERT_EQ(Modem->Start(), "");
    }
    // COMn leads nowhere, as an unplugged adapter does.
    void MissingPort(int com) {
        std::filesystem::create_directories(Home.PortsFolder());
        std::filesystem::create_symlink("/nonexistent/kx-tty", Home.PortsFolder() + "/COM" + std::to_string(com));
    }
    void TearDown() override {
        for (auto& m : Modems) m->Stop();
    }
};

// The lines of one port, its prefix taken off, in their order.
Lines PortLines(const std::string& text, int com) {
    const std::string prefix = "COM" + std::to_string(com) + ": ";
    Lines lines;
    for (const std::string& line : SplitLines(text))
        if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
    return lines;
}

Lines Fields(const std::string& row) {
    Lines fields;
    std::istringstream in(row);
    for (std::string field; std::getline(in, field, ';');) fields.push_back(field);
    return fields;
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
    for (const auto& args : BadArguments) {
        CliProcess cli(args);
        EXPECT_EQ(cli.Wait(), 2) << args[0];
        EXPECT_NE(cli.Stderr().find("usage: kestrelix-cli"), std::string::npos);
        EXPECT_EQ(cli.Stdout(), "");
    }
    CliProcess help({"--help"});
    EXPECT_EQ(help.Wait(), 0);
    EXPECT_NE(help.Stdout().find("--place device|computer"), std::string::npos);
}

TEST_F(CliTest, ListShowsModelsSpeedsAndWhereEachComLeads) {
    StartModem(5, 9600);
    CliProcess cli({"--list"});
    EXPECT_EQ(cli.Wait(), 0);
    const std::string out = cli.Stdout();
    EXPECT_NE(out.find("5  Teleofis RX100"), std::string::npos);
    EXPECT_NE(out.find("56000 57600 115200"), std::string::npos);
    EXPECT_NE(out.find("COM5   " + Modem->DevicePath() + " (ссылка " + Modem->LinkPath() + ")"), std::string::npos);
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

}  // namespace
