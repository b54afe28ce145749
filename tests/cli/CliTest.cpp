#include <gtest/gtest.h>

#include <filesystem>
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
        int Com, Model, Speed, Place;
    } cases[] = {
        {{}, 1, 0, 3, 0},
        {{"--com", "32", "--model", "5", "--speed", "115200", "--place", "computer"}, 32, 5, 9, 1},
        {{"--model", "Cinterion MC52i", "--speed", "1200", "--place", "device", "--com", "1"}, 1, 2, 0, 0},
        {{"--model", "novacom gns-300rs"}, 1, 4, 3, 0},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = gParseCliOptions(c.Args);
        EXPECT_EQ(parsed.Error, "");
        EXPECT_EQ(parsed.Options.ComNumber, c.Com);
        EXPECT_EQ(parsed.Options.ModelIndex, c.Model);
        EXPECT_EQ(parsed.Options.SpeedIndex, c.Speed);
        EXPECT_EQ(parsed.Options.Place, c.Place);
    }
}

const Lines BadArguments[] = {
    {"--com", "0"}, {"--com", "33"}, {"--com", "3x"}, {"--com"}, {"--model", "6"}, {"--model", "-1"},
    {"--model", "Siemens"}, {"--speed", "9601"}, {"--speed", "0"}, {"--place", "car"}, {"--verbose"}, {"3"},
};

TEST(CliOptions, RejectsBadArguments) {
    for (const auto& args : BadArguments) EXPECT_NE(gParseCliOptions(args).Error, "") << args[0];
}

struct CliTest : ::testing::Test {
    TempConfigHome Home;
    std::unique_ptr<VirtualModem> Modem;

    void StartModem(int com, uint32_t speed, bool noSim = false, bool silent = false) {
        VirtualModemOptions options;
        options.ComNumber = com;
        options.Speed = speed;
        options.NoSim = noSim;
        options.Silent = silent;
        options.Mismatch = MismatchMode::Silent;
        Modem = std::make_unique<VirtualModem>(options);
        ASSERT_EQ(Modem->Start(), "");
    }
    void TearDown() override {
        if (Modem) Modem->Stop();
    }
};

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
    std::filesystem::create_directories(Home.PortsFolder());
    std::filesystem::create_symlink("/nonexistent/kx-tty", Home.PortsFolder() + "/COM9");
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
    std::filesystem::create_directories(Home.PortsFolder());
    std::filesystem::create_symlink("/nonexistent/kx-tty", Home.PortsFolder() + "/COM9");
    CliProcess cli({"--com", "9"});
    ASSERT_TRUE(cli.WaitForOutput("Открытие СОМ9"));
    // Signals sent close together may arrive as one, so they are repeated until it ends.
    do cli.Signal(SIGINT);
    while (!cli.WaitForEnd(100));
    EXPECT_EQ(cli.Wait(), 1);
    EXPECT_EQ(cli.Stderr(), "");
}

}  // namespace
