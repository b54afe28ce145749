// The answers real modems gave (tests/engine/RealAnswers.h), sent word for word by the
// virtual modem over a real pseudo-terminal: the check's row and the meter's reading for
// each, and every refusal ends a question, never the check.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/CheckRows.h"
#include "engine/SignalValue.h"
#include "sim/VirtualModem.h"
#include "tests/engine/EngineRig.h"
#include "tests/engine/RealAnswers.h"
#include "tests/support/TempConfigHome.h"

namespace {

struct RealAnswersTest : ::testing::Test {
    TempConfigHome Home;
    std::unique_ptr<VirtualModem> Modem;
    EngineRig<> Rig{SystemPort{}};

    void SetUp() override {
        Rig.Init();
        Rig.Choose(1, 3, 0, 1);
        Rig.Engine->SignalIntervalMs = 5;
    }
    void TearDown() override {
        Rig.Engine.reset();
        if (Modem) Modem->Stop();
    }

    // A modem at the search's first speed that answers command with bytes after its echo.
    void StartModem(const char* command, const std::string& bytes, VirtualModemOptions options = {}) {
        if (Modem) Modem->Stop();
        options.ComNumber = 2;
        options.Speed = 9600;
        options.Mismatch = MismatchMode::Silent;
        options.Answers = {{command, bytes}};
        Modem = std::make_unique<VirtualModem>(options);
        ASSERT_EQ(Modem->Start(), "");
    }

    // The check's row that begins with name; the check must have answered.
    std::string CheckRow(const std::string& name) {
        if (!Rig.RunCheck()) return "no end";
        const Rows log = Rig.Log();
        if (log.empty() || log.back() != CheckMsg::Answered) return "ended with " + (log.empty() ? "" : log.back());
        const auto row = std::find_if(log.begin(), log.end(), [&](const std::string& r) { return r.rfind(name, 0) == 0; });
        return row == log.end() ? "no row" : row->substr(name.size());
    }

    // The registration of the meter's first reading.
    std::string MeterRegistration() {
        Rig.Win.LogDeleteAll(ControlId::LogView);
        const size_t before = Rig.Win.Signals().size();
        Rig.Engine->OnMeasureSignal();
        const bool read = Rig.Win.WaitFor([&] { return Rig.Win.Signals().size() > before; });
        Rig.Engine->StopRun();
        const bool ended = Rig.Win.WaitFor([&] {
            const auto s = Rig.Win.Signals();
            return !s.empty() && s.back().Ended;
        }) && Rig.WaitIdle();
        if (!read || !ended) return "no reading";
        return Rig.Win.Signals()[before].Registration;
    }
};

std::string Verbose(const std::string& answer) { return "\r\n" + answer + "\r\n\r\nOK\r\n"; }

TEST_F(RealAnswersTest, RegistrationInTheCheckAndTheMeter) {
    for (const RealAnswer& a : RegistrationAnswers()) {
        StartModem("AT+CREG?", Verbose(a.Answer));
        EXPECT_EQ(CheckRow("Регистрация в сети: "), a.Words) << a.Source << ": " << a.Answer;
        EXPECT_EQ(MeterRegistration(), a.Words) << a.Source << ": " << a.Answer;
    }
}

TEST_F(RealAnswersTest, SimCard) {
    for (const RealAnswer& a : SimAnswers()) {
        StartModem("AT+CPIN?", Verbose(a.Answer));
        EXPECT_EQ(CheckRow("SIM-карта: "), a.Words) << a.Source << ": " << a.Answer;
    }
}

TEST_F(RealAnswersTest, Imei) {
    for (const RealAnswer& a : ImeiAnswers()) {
        StartModem("AT+CGSN", Verbose(a.Answer));
        EXPECT_EQ(CheckRow("IMEI: "), a.Words) << a.Source << ": " << a.Answer;
    }
}

TEST_F(RealAnswersTest, RefusalsEndTheQuestionNotTheCheck) {
    for (const RealRefusal& r : RefusalAnswers()) {
        StartModem("AT+CGMM", r.Bytes);
        EXPECT_EQ(CheckRow("Изготовитель: "), "Cinterion; модель: " + r.Words + "; версия: REVISION 01.100") << r.Source;
    }
}

// A model of digits alone, sent in random pieces: read as the model, not as a result code
// (8 is the numeric NO ANSWER). Where the pieces fall is left to chance here; every cut is
// tried in tests/serial/FinalCodeTest.cpp.
TEST_F(RealAnswersTest, DigitsModelInPiecesIsTheModel) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        const std::string model = seed % 2 ? "88" : "8";
        VirtualModemOptions options;
        options.Model = model;
        options.Split = true;
        options.Seed = seed;
        StartModem("AT+CGMI", Verbose("Cinterion"), options);
        EXPECT_EQ(CheckRow("Изготовитель: "), "Cinterion; модель: " + model + "; версия: REVISION 01.100") << seed;
    }
}

}  // namespace
