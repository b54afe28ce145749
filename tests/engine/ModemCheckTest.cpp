// The modem check against the virtual modem over a real pseudo-terminal, in each state
// the modem can be in.

#include <gtest/gtest.h>

#include "engine/CheckRows.h"
#include "sim/VirtualModem.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/LogRows.h"
#include "tests/support/TempConfigHome.h"

namespace {

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
    ASSERT_TRUE(Rig.RunCheck());
    EXPECT_EQ(Rig.Log(), Concat({{"Открытие СОМ2", Search(9600),
                                  "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100",
                                  "IMEI: 490154203237518"},
                                 GetParam().Items,
                                 {CheckMsg::Answered}}));
    EXPECT_EQ(Modem->Settings(), before);
    EXPECT_EQ(Modem->StoredProfile(), before);
    EXPECT_EQ(Rig.Engine->Outcome.Findings.Imei, "490154203237518");
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
    ASSERT_TRUE(Rig.RunCheck());
    const Rows log = Rig.Log();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[1], Search(9600));
    EXPECT_EQ(log[3], "IMEI: 351998000000026");
    EXPECT_EQ(log[4], "SIM-карта: готова");
    EXPECT_EQ(log.back(), CheckMsg::Answered);
    EXPECT_EQ(Modem->Settings(), configured);
    EXPECT_EQ(Rig.Engine->Outcome.Findings.Speed, 9600);
}

}  // namespace
