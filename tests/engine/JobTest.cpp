// Whole jobs against a scripted modem on a virtual clock: the runner's and the search's
// paths, each checked row for row.

#include <gtest/gtest.h>

#include "engine/ModemChoices.h"
#include "engine/Messages.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"

namespace {

struct JobTest : ::testing::Test {
    EngineRig<> Rig;

    // Model 1, 9600 at the device, the place given; the modem as scripted.
    void Run(int model = 1, int place = 0, int speedIndex = 3) {
        Rig.Init();
        Rig.Choose(model, speedIndex, place);
        ASSERT_TRUE(Rig.RunJob());
    }
    std::vector<RecordingToolkit::Message> Boxes() { return Rig.Win.Messages(); }
};

TEST_F(JobTest, SuccessfulJobAtTheDeviceLogsEveryStepInOrder) {
    Rig.Script->Answer = ModemAt{115200};
    Run();
    const Rows expected = Concat({
        {"Открытие СОМ1", Search(9600), Search(115200)},
        CommandRows({"AT+IPR=9600"}, {"OK"}),
        {"Установка скорости СОМ-порта 9600 бит/сек."},
        CommandRows({"AT&F", "AT&D0", "ATX0", "ATS0=2", "ATS7=60", "ATL1", "ATE0", "ATV0", "AT&W"},
                    {"OK", "OK", "OK", "OK", "OK", "OK", "OK", "0", "0"}),
        {Succeeded},
    });
    EXPECT_EQ(Rig.Log(), expected);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Rig.Win.Text(ControlId::StatusLine), Succeeded);
    EXPECT_EQ(Rig.Script->OpenedNames(), Rows{"\\\\.\\COM1"});
}

TEST_F(JobTest, AtTheComputerTheModemStaysVerbose) {
    Rig.Script->Answer = ModemAt{9600};
    Run(1, 1);
    const Rows expected = Concat({
        {"Открытие СОМ1", Search(9600)},
        CommandRows({"AT+IPR=9600"}, {"OK"}),
        {"Установка скорости СОМ-порта 9600 бит/сек."},
        CommandRows({"AT&F", "AT&D2", "ATX4", "ATS0=2", "ATS7=60", "ATL1", "ATE0", "ATV1", "AT&W"},
                    Rows(9, "OK")),
        {Succeeded},
    });
    EXPECT_EQ(Rig.Log(), expected);
}

TEST_F(JobTest, ModemAnsweringOnlyAt57600IsFoundAfterTenSearchLines) {
    Rig.Script->Answer = ModemAt{57600};
    Run();
    const Rows log = Rig.Log();
    Rows searches;
    for (const auto& row : log)
        if (row.rfind("Поиск", 0) == 0) searches.push_back(row);
    EXPECT_EQ(searches, (Rows{Search(9600), Search(115200), Search(19200), Search(2400), Search(1200),
                              Search(38400), Search(4800), Search(14400), Search(56000), Search(57600)}));
    // Two probes at each of the nine silent speeds, one at 57600.
    const auto written = Rig.Script->Written();
    EXPECT_EQ(std::count(written.begin(), written.end(), "AT\r"), 19);
    EXPECT_EQ(log.back(), Succeeded);
}

TEST_F(JobTest, ErrorToTheProbeCountsAsNoAnswerAtThatSpeed) {
    Rig.Script->Answer = [modem = ModemAt{115200}](uint32_t speed, const std::string& command) mutable {
        if (command == "AT\r" && speed == 9600) return std::optional<std::string>("\r\nERROR\r\n");
        return modem(speed, command);
    };
    Run();
    const auto written = Rig.Script->Written();
    EXPECT_EQ(std::count(written.begin(), written.end(), "AT\r"), 3);
    EXPECT_EQ(Rig.Log()[1], Search(9600));
    EXPECT_EQ(Rig.Log()[2], Search(115200));
    EXPECT_EQ(Rig.Log().back(), Succeeded);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(JobTest, ForeignReplyDuringTheSearchEndsItAtOnce) {
    Rig.Script->Answer = [](uint32_t, const std::string&) { return std::optional<std::string>("\r\nNO CARRIER\r\n"); };
    Run();
    EXPECT_EQ(Rig.Log(), (Rows{"Открытие СОМ1", Search(9600), NoModem, NotSucceeded}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, NoModem);
    EXPECT_EQ(Boxes()[0].Caption, "Ошибка");
    EXPECT_EQ(Rig.Win.Text(ControlId::StatusLine), NotSucceeded);
    EXPECT_FALSE(Rig.Script->IsOpen());
}

TEST_F(JobTest, SilentModemGivesTheNoModemMessageAfterEverySpeed) {
    Run();
    const Rows log = Rig.Log();
    ASSERT_EQ(log.size(), 13u);
    EXPECT_EQ(log[10], Search(57600));
    EXPECT_EQ(log[11], NoModem);
    EXPECT_EQ(log[12], NotSucceeded);
    EXPECT_EQ(Boxes().size(), 1u);
}

// Bytes without an answer at every speed, as from a modem still starting: after the
// failure the operator learns to try again in a few seconds rather than look for a fault.
TEST_F(JobTest, ModemHeardButNotAnsweringMayStillBeStarting) {
    Rig.Script->Answer = [](uint32_t, const std::string&) { return std::optional<std::string>(std::string("\0\xff", 2)); };
    Run();
    const Rows log = Rig.Log();
    ASSERT_EQ(log.size(), 14u);
    EXPECT_EQ(Rows(log.begin() + 11, log.end()), (Rows{NoModem, Msg::MaybeStarting, NotSucceeded}));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(JobTest, CommandTimingOutOnceThenOk) {
    Rig.Script->Answer = [modem = ModemAt{9600}, silent = true](uint32_t speed, const std::string& command) mutable {
        if (command == "ATS7=60\r" && silent) {
            silent = false;
            return std::optional<std::string>();
        }
        return modem(speed, command);
    };
    Run();
    const Rows log = Rig.Log();
    const auto at = std::find(log.begin(), log.end(), Exec("ATS7=60"));
    ASSERT_NE(at, log.end());
    EXPECT_EQ(*(at + 1), Exec("ATS7=60"));
    EXPECT_EQ(*(at + 2), Got("OK"));
    EXPECT_EQ(log.back(), Succeeded);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(JobTest, CommandTimingOutTwiceEndsTheJobWithTheNoReplyMessage) {
    Rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
        return command == "ATL1\r" ? std::nullopt : modem(speed, command);
    };
    Run();
    const std::string noReply = "От модема не был получен ответ на команду \"ATL1\".\r\nОперация будет прекращена!";
    const Rows log = Rig.Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(Rows(log.end() - 4, log.end()), (Rows{Exec("ATL1"), Exec("ATL1"), noReply, NotSucceeded}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, noReply);
    EXPECT_EQ(Rig.Win.Text(ControlId::StatusLine), NotSucceeded);
    // Nothing after the failing step is sent.
    EXPECT_EQ(Rig.Script->Written().back(), "ATL1\r");
}

TEST_F(JobTest, ErrorToAutoAnswerMentionsTheSimCardOnlyForTheMc52iModels) {
    const std::string plain =
        "При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"ERROR\".\r\n"
        "Операция будет прекращена!";
    const std::string sim =
        "При выполнении команды \"ATS0=2\" возникла ошибка! Модем выдал сообщение \"ERROR\".\r\n"
        "Проверьте, что SIM карта вставлена в модем, и модем зарегистрирован в сети оператора!\r\n"
        "Операция будет прекращена!";
    for (const auto& [model, text] : {std::pair{0, plain}, {1, plain}, {2, sim}, {3, sim}, {4, plain}, {5, plain}}) {
        SCOPED_TRACE("model " + std::to_string(model));
        EngineRig<> rig;
        rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
            return command == "ATS0=2\r" ? std::optional<std::string>("\r\nERROR\r\n") : modem(speed, command);
        };
        rig.Init();
        rig.Choose(model, 3, 0);
        ASSERT_TRUE(rig.RunJob());
        const Rows log = rig.Log();
        EXPECT_EQ(Rows(log.end() - 3, log.end()), (Rows{Exec("ATS0=2"), text, NotSucceeded}));
        ASSERT_EQ(rig.Win.Messages().size(), 1u);
        EXPECT_EQ(rig.Win.Messages()[0].Text, text);
    }
}

TEST_F(JobTest, NumericErrorToAnotherCommandGivesThePlainMessage) {
    Rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
        return command == "AT&W\r" ? std::optional<std::string>("4\r") : modem(speed, command);
    };
    Run(2);
    EXPECT_EQ(Rig.Log()[Rig.Log().size() - 2],
              "При выполнении команды \"AT&W\" возникла ошибка! Модем выдал сообщение \"4\".\r\n"
              "Операция будет прекращена!");
}

TEST_F(JobTest, ForeignReplyToACommandIsAnOperationError) {
    Rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
        return command == "AT&F\r" ? std::optional<std::string>("\r\nBUSY\r\n") : modem(speed, command);
    };
    Run();
    const Rows log = Rig.Log();
    EXPECT_EQ(Rows(log.end() - 3, log.end()),
              (Rows{Exec("AT&F"), "При выполнении операции возникла ошибка!", NotSucceeded}));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(JobTest, RepliesAreShownDecodedFromTheModemsCodePage) {
    Rig.Script->Answer = [modem = ModemAt{9600}](uint32_t speed, const std::string& command) mutable {
        if (command == "AT&F\r") return std::optional<std::string>("\r\n\xC3\xEE\xF2\xEE\xE2\r\n\r\nOK\r\n");
        if (command == "ATX0\r") return std::optional<std::string>("\r\n\xCE\xF8\xE8\xE1\xEA\xE0\r\n\r\nERROR\r\n");
        return modem(speed, command);
    };
    Run();
    const Rows log = Rig.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), Got("ГотовOK")), log.end());
    EXPECT_EQ(log[log.size() - 2],
              "При выполнении команды \"ATX0\" возникла ошибка! Модем выдал сообщение \"ОшибкаERROR\".\r\n"
              "Операция будет прекращена!");
}

// A damaged stored choice leaves its selector blank with a row naming it; a job then
// opens nothing, sends nothing and says again which choice to make.
TEST_F(JobTest, DamagedStoredChoiceSendsNothingAndNamesTheChoice) {
    const struct {
        const char* Name;
        int32_t Value;
        const char* Row;
    } cases[] = {
        {"ModemType", 6, Msg::ChooseModel},
        {"BaudRateInd", 10, Msg::ChooseSpeed},
        {"IsLocal", 7, Msg::ChoosePlace},
        {"CommNum", 999, Msg::ChooseCom},
    };
    for (const auto& c : cases) {
        EngineRig<> rig;
        rig.Script->Answer = ModemAt{9600};
        rig.Settings.WriteInt(CommPortSection, c.Name, c.Value);
        // The window fills its COM list from the stored number, as both windows do.
        rig.Win.ComboSelect(ControlId::ComSelector, gReadStoredChoices(rig.Settings).ComIndex);
        rig.Init();
        EXPECT_EQ(rig.Log(), Rows{c.Row}) << c.Name;
        ASSERT_TRUE(rig.RunJob()) << c.Name;
        EXPECT_EQ(rig.Log(), (Rows{c.Row, NotSucceeded})) << c.Name;
        EXPECT_TRUE(rig.Script->OpenedNames().empty()) << c.Name;
        EXPECT_TRUE(rig.Script->Written().empty()) << c.Name;
        EXPECT_TRUE(rig.Win.Messages().empty()) << c.Name;
    }
}

TEST_F(JobTest, DeviceVanishingMidJobEndsItAsAFailedRead) {
    Rig.Script->Answer = ModemAt{9600};
    Rig.Script->OnWrite = [this](const std::string& command) {
        if (command == "ATS0=2\r") Rig.Script->Vanished = true;
    };
    Run();
    const Rows log = Rig.Log();
    EXPECT_EQ(Rows(log.end() - 3, log.end()),
              (Rows{Exec("ATS0=2"), "При выполнении операции возникла ошибка!", NotSucceeded}));
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text, "Ошибка выполнения ReadFile (код 5)!");
    EXPECT_EQ(boxes[0].Caption, "Информация");
    EXPECT_EQ(boxes[1].Caption, "Ошибка");
    EXPECT_FALSE(Rig.Script->IsOpen());
}

}  // namespace
