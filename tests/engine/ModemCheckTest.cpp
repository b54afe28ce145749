// The modem check: against a scripted modem for the paths no real one takes on demand,
// and against the virtual modem over a real pseudo-terminal for each state it can be in.

#include <gtest/gtest.h>

#include "engine/CheckRows.h"
#include "sim/VirtualModem.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"
#include "tests/support/TempConfigHome.h"

namespace {

const Rows CheckFinals = {CheckMsg::Answered, CheckMsg::NotAnswered, CheckMsg::Stopped};

template <typename Rig> bool RunCheck(Rig& rig) {
    rig.Win.LogDeleteAll(ControlId::LogView);
    rig.Engine->OnCheckModem();
    return rig.Win.WaitFor([&] {
        const Rows log = rig.Log();
        return !log.empty() && std::find(CheckFinals.begin(), CheckFinals.end(), log.back()) != CheckFinals.end();
    }) && rig.WaitIdle();
}

TEST(ModemCheckScripted, ModemThatRefusesEveryPlusCommandLeavesEachItemUnsupported) {
    EngineRig<> rig;
    rig.Script->Answer = [](uint32_t speed, const std::string& command) -> std::optional<std::string> {
        if (speed != 115200) return std::nullopt;
        return command.rfind("AT+C", 0) == 0 ? "\r\nERROR\r\n" : "\r\nOK\r\n";
    };
    rig.Init();
    ASSERT_TRUE(RunCheck(rig));
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
    EXPECT_EQ(rig.Engine->Findings.Speed, 115200);
    EXPECT_TRUE(rig.Engine->Findings.Imei.empty());
}

TEST(ModemCheckScripted, SilentModemEndsWithItsOwnRowAndNoBox) {
    EngineRig<> rig;
    rig.Init();
    ASSERT_TRUE(RunCheck(rig));
    const Rows log = rig.Log();
    EXPECT_EQ(log.size(), 12u);  // opening, ten search rows, the final row
    EXPECT_EQ(log.back(), CheckMsg::NotAnswered);
    EXPECT_TRUE(rig.Win.Messages().empty());
    EXPECT_FALSE(rig.Engine->Findings.Answered);
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
    ASSERT_TRUE(rig.WaitForRow("SIM-карта: x"));
    EXPECT_EQ(rig.Win.Text(ControlId::StartStop), "Стоп!");
    rig.Engine->OnStartStop();
    ASSERT_TRUE(rig.Win.WaitFor([&] { return rig.LastRowIs(CheckMsg::Stopped); }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_TRUE(rig.Win.Messages().empty());
}

struct VirtualCase {
    const char* Name;
    std::function<void(VirtualModemOptions&)> Adjust;
    Rows Items;  // SIM card, signal, registration
};

void PrintTo(const VirtualCase& c, std::ostream* os) { *os << c.Name; }

struct ModemCheckTest : ::testing::TestWithParam<VirtualCase> {
    TempConfigHome Home;
    std::unique_ptr<VirtualModem> Modem;
    EngineRig<> Rig{SystemPort{}};

    void StartModem(VirtualModemOptions options) {
        options.ComNumber = 2;
        options.Mismatch = MismatchMode::Silent;
        Modem = std::make_unique<VirtualModem>(options);
        ASSERT_EQ(Modem->Start(), "");
        Rig.Init();
        Rig.Choose(1, 3, 0, 1);
    }
    void TearDown() override {
        Rig.Engine.reset();
        if (Modem) Modem->Stop();
    }
};

TEST_P(ModemCheckTest, ReportsEveryItemAndChangesNothing) {
    VirtualModemOptions options;
    options.Imei = "490154203237518";
    options.Speed = 9600;
    GetParam().Adjust(options);
    StartModem(options);
    const ModemSettings before = Modem->Settings();
    ASSERT_TRUE(RunCheck(Rig));
    EXPECT_EQ(Rig.Log(), Concat({{"Открытие СОМ2", Search(9600),
                                  "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100",
                                  "IMEI: 490154203237518"},
                                 GetParam().Items,
                                 {CheckMsg::Answered}}));
    EXPECT_EQ(Modem->Settings(), before);
    EXPECT_EQ(Modem->StoredProfile(), before);
    EXPECT_EQ(Rig.Engine->Findings.Imei, "490154203237518");
}

INSTANTIATE_TEST_SUITE_P(
    States, ModemCheckTest,
    testing::Values(
        VirtualCase{"Ready", [](auto&) {},
                    {"SIM-карта: готова", "Уровень сигнала: -79 дБм, хороший", "Регистрация в сети: домашняя сеть"}},
        VirtualCase{"NoSim", [](auto& o) { o.NoSim = true; },
                    {"SIM-карта: не вставлена", "Уровень сигнала: -79 дБм, хороший",
                     "Регистрация в сети: не зарегистрирован"}},
        VirtualCase{"PinNeeded", [](auto& o) { o.Sim = SimState::PinNeeded; },
                    {"SIM-карта: нужен PIN-код", "Уровень сигнала: -79 дБм, хороший",
                     "Регистрация в сети: не зарегистрирован"}},
        VirtualCase{"PukNeeded", [](auto& o) { o.Sim = SimState::PukNeeded; },
                    {"SIM-карта: нужен PUK-код", "Уровень сигнала: -79 дБм, хороший",
                     "Регистрация в сети: не зарегистрирован"}},
        VirtualCase{"WeakSignalRoaming", [](auto& o) { o.Signal = 4; o.Network = Registration::Roaming; },
                    {"SIM-карта: готова", "Уровень сигнала: -105 дБм, слабый", "Регистрация в сети: роуминг"}},
        VirtualCase{"UnknownSignalSearching", [](auto& o) { o.Signal = 99; o.Network = Registration::Searching; },
                    {"SIM-карта: готова", "Уровень сигнала: неизвестен", "Регистрация в сети: поиск сети"}},
        VirtualCase{"Denied", [](auto& o) { o.Network = Registration::Denied; },
                    {"SIM-карта: готова", "Уровень сигнала: -79 дБм, хороший",
                     "Регистрация в сети: регистрация отклонена"}},
        VirtualCase{"NotRegistered", [](auto& o) { o.Network = Registration::NotRegistered; },
                    {"SIM-карта: готова", "Уровень сигнала: -79 дБм, хороший",
                     "Регистрация в сети: не зарегистрирован"}}),
    [](const auto& info) { return info.param.Name; });

// After a job at the device the modem answers in numeric form without echo; the check
// reads it there, in pieces, and leaves it at the job's speed.
TEST_F(ModemCheckTest, ConfiguredModemAnsweringInPiecesIsReadToTheEnd) {
    VirtualModemOptions options;
    options.Split = true;
    options.Seed = 11;
    StartModem(options);
    ASSERT_TRUE(Rig.RunJob());
    ASSERT_TRUE(Rig.LastRowIs(Succeeded));
    const ModemSettings configured = Modem->Settings();
    ASSERT_FALSE(configured.Verbose);
    ASSERT_TRUE(RunCheck(Rig));
    const Rows log = Rig.Log();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[1], Search(9600));
    EXPECT_EQ(log[3], "IMEI: 351998000000026");
    EXPECT_EQ(log[4], "SIM-карта: готова");
    EXPECT_EQ(log.back(), CheckMsg::Answered);
    EXPECT_EQ(Modem->Settings(), configured);
    EXPECT_EQ(Rig.Engine->Findings.Speed, 9600);
}

}  // namespace
