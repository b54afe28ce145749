// The modem check against a scripted modem, for the paths no real one takes on demand.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/CheckRows.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"

namespace {

TEST(ModemCheckScripted, ModemThatRefusesEveryPlusCommandLeavesEachItemUnsupported) {
    EngineRig<> rig;
    rig.Script->Answer = [](uint32_t speed, const std::string& command) -> std::optional<std::string> {
        if (speed != 115200) return std::nullopt;
        return command.rfind("AT+C", 0) == 0 ? "\r\nERROR\r\n" : "\r\nOK\r\n";
    };
    rig.Init();
    ASSERT_TRUE(rig.RunCheck());
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ1", Search(9600), Search(115200),
                               "Изготовитель: не поддерживается; модель: не поддерживается; версия: не поддерживается",
                               "IMEI: не поддерживается", "SIM-карта: не поддерживается",
                               "Уровень сигнала: не поддерживается", "Регистрация в сети: не поддерживается",
                               CheckMsg::Answered}));
    EXPECT_TRUE(rig.Win.Messages().empty());
    // Nothing but questions: no speed change, no setting, no stored profile.
    Rows written = rig.Script->Written();
    written.erase(std::remove(written.begin(), written.end(), "AT\r"), written.end());
    EXPECT_EQ(written, (Rows{"AT+CGMI\r", "AT+CGMM\r", "AT+CGMR\r", "AT+CGSN\r", "AT+CPIN?\r", "AT+CSQ\r", "AT+CREG?\r"}));
    EXPECT_EQ(rig.Engine->Outcome.Findings.Speed, 115200);
    EXPECT_TRUE(rig.Engine->Outcome.Findings.Imei.empty());
}

TEST(ModemCheckScripted, SilentModemEndsWithItsOwnRowAndNoBox) {
    EngineRig<> rig;
    rig.Init();
    ASSERT_TRUE(rig.RunCheck());
    const Rows log = rig.Log();
    EXPECT_EQ(log.size(), 12u);  // opening, ten search rows, the final row
    EXPECT_EQ(log.back(), CheckMsg::NotAnswered);
    EXPECT_TRUE(rig.Win.Messages().empty());
    EXPECT_FALSE(rig.Engine->Outcome.Findings.Answered);
}

// A port that fails at any question ends the check with the failure row, never as an answer.
TEST(ModemCheckScripted, PortFailingMidCheckEndsWithTheFailureRow) {
    for (const char* failing : {"AT+CGMI\r", "AT+CGSN\r", "AT+CREG?\r"}) {
        EngineRig<> rig;
        rig.Script->Answer = ModemAt{9600};
        rig.Script->OnWrite = [&rig, failing](const std::string& command) {
            if (command == failing) rig.Script->Vanished = true;
        };
        rig.Init();
        ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.Engine->Busy == 0; }));
        rig.Win.LogDeleteAll(ControlId::LogView);
        rig.Engine->OnCheckModem();
        ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.LastRowIs(CheckMsg::PortFailed); })) << failing;
        ASSERT_TRUE(rig.WaitIdle());
        const Rows log = rig.Log();
        EXPECT_EQ(std::count(log.begin(), log.end(), CheckMsg::Answered), 0) << failing;
    }
}

TEST(ModemCheckScripted, StopDuringTheOpenAttemptsEndsTheCheckAsStopped) {
    EngineRig<> rig;
    rig.Script->OpenFails = true;
    rig.Script->OnFailedOpen = [&] { rig.Engine->StopRun(); };
    rig.Init();
    rig.Engine->OnCheckModem();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.LastRowIs(CheckMsg::Stopped); }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Log(), (Rows{"Открытие СОМ1", CheckMsg::Stopped}));
}

TEST(ModemCheckScripted, StopEndsTheCheckAsItEndsAJob) {
    EngineRig<> rig;
    rig.Script->BlockWhenSilent = true;
    rig.Script->Answer = [](uint32_t, const std::string& command) -> std::optional<std::string> {
        if (command == "AT+CSQ\r") return std::nullopt;
        return command == "AT\r" ? "\r\nOK\r\n" : "\r\nx\r\n\r\nOK\r\n";
    };
    rig.Init();
    rig.Engine->OnCheckModem();
    ASSERT_TRUE(rig.WaitForRow("SIM-карта: не удалось прочитать \"x\""));
    EXPECT_EQ(rig.Win.Text(ControlId::StartStop), "Стоп!");
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.LastRowIs(CheckMsg::Stopped); }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_TRUE(rig.Win.Messages().empty());
}

}  // namespace
