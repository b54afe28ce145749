// The signal job against the virtual modem: readings until Stop, few log rows, and the
// faults that end it.

#include <gtest/gtest.h>

#include "engine/SignalValue.h"
#include "sim/VirtualModem.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/TempConfigHome.h"

namespace {

struct SignalJobTest : ::testing::Test {
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
        Rig.Engine->SignalIntervalMs = 5;
    }
    bool Ended() {
        return Rig.Win.WaitFor([&] {
            const auto s = Rig.Win.Signals();
            return !s.empty() && s.back().Ended;
        }) && Rig.WaitIdle();
    }
    void TearDown() override {
        Rig.Engine.reset();
        if (Modem) Modem->Stop();
    }
};

TEST_F(SignalJobTest, ReadsUntilStopAndChangesNothing) {
    VirtualModemOptions options;
    options.Speed = 9600;
    options.SignalWalk = true;
    options.Seed = 5;
    StartModem(options);
    const ModemSettings before = Modem->Settings();
    Rig.Engine->OnMeasureSignal();
    ASSERT_TRUE(Rig.Win.WaitFor([&] { return Rig.Win.Signals().size() >= 30; }));
    Rig.Engine->StopRun();
    ASSERT_TRUE(Ended());
    const auto readings = Rig.Win.Signals();
    std::vector<int> dbms;
    for (size_t i = 0; i + 1 < readings.size(); ++i) {
        const SignalReading& r = readings[i];
        EXPECT_TRUE((r.Csq >= 0 && r.Csq <= 31) || r.Csq == 99) << r.Csq;
        EXPECT_EQ(r.Dbm.has_value(), r.Csq != 99);
        if (r.Dbm) dbms.push_back(*r.Dbm);
        EXPECT_EQ(r.Registration, "домашняя сеть");
    }
    const std::string summary = gSignalSummary(static_cast<int>(readings.size() - 1), dbms);
    EXPECT_EQ(readings.back().Summary, summary);
    EXPECT_EQ(Rig.Log(), (Rows{"Открытие СОМ2", Search(9600), SignalMsg::Started,
                               "Регистрация в сети: домашняя сеть", summary}));
    EXPECT_EQ(Modem->Settings(), before);
    EXPECT_EQ(Modem->StoredProfile(), before);
}

struct FaultCase {
    const char* Name;
    std::function<void(VirtualModemOptions&)> Adjust;
    const char* Row;  // the row before the summary
    size_t MinReadings;
};

TEST_F(SignalJobTest, FaultsEndTheJobWithTheirRowAndKeepTheReadings) {
    const FaultCase cases[] = {
        // Search "AT", CSQ, CREG, CSQ, CREG, then the modem hangs up mid-run.
        {"dies", [](auto& o) { o.HangupAfter = 5; }, SignalMsg::Lost, 1},
        {"refuses the level", [](auto& o) { o.CsqFault = SignalFault::Error; }, SignalMsg::NotReported, 0},
        {"garbles the level", [](auto& o) { o.CsqFault = SignalFault::Garbage; }, SignalMsg::NotReported, 0},
    };
    for (const FaultCase& c : cases) {
        VirtualModemOptions options;
        options.Speed = 9600;
        options.ComNumber = 3;
        options.Mismatch = MismatchMode::Silent;
        c.Adjust(options);
        VirtualModem modem(options);
        ASSERT_EQ(modem.Start(), "") << c.Name;
        EngineRig<> rig{SystemPort{}};
        rig.Init();
        rig.Choose(1, 3, 0, 2);
        rig.Engine->SignalIntervalMs = 5;
        rig.Engine->OnMeasureSignal();
        ASSERT_TRUE(rig.Win.WaitFor([&] {
            const auto s = rig.Win.Signals();
            return !s.empty() && s.back().Ended;
        })) << c.Name;
        const Rows log = rig.Log();
        ASSERT_GE(log.size(), 2u) << c.Name;
        EXPECT_EQ(log[log.size() - 2], c.Row) << c.Name;
        EXPECT_GE(rig.Win.Signals().size() - 1, c.MinReadings) << c.Name;
        EXPECT_EQ(log.back(), rig.Win.Signals().back().Summary) << c.Name;
        rig.Engine.reset();
    }
}

}  // namespace
