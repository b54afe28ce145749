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
        StartModemAnswering({{command, bytes}}, std::move(options));
    }
    void StartModemAnswering(std::vector<ScriptedAnswer> answers, VirtualModemOptions options = {}) {
        if (Modem) Modem->Stop();
        options.ComNumber = 2;
        options.Speed = 9600;
        options.Mismatch = MismatchMode::Silent;
        options.Answers = std::move(answers);
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

    // The meter's first reading, or none when it stopped without one.
    std::optional<SignalReading> MeterReading() {
        Rig.Win.LogDeleteAll(ControlId::LogView);
        const size_t before = Rig.Win.Signals().size();
        Rig.Engine->OnMeasureSignal();
        Rig.Win.WaitFor([&] {
            const auto s = Rig.Win.Signals();
            return s.size() > before;
        });
        Rig.Engine->StopRun();
        Rig.Win.WaitFor([&] {
            const auto s = Rig.Win.Signals();
            return !s.empty() && s.back().Ended;
        });
        Rig.WaitIdle();
        const auto signals = Rig.Win.Signals();
        if (signals.size() <= before || signals[before].Ended) return std::nullopt;
        return signals[before];
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

// The item of the check's rows that answers command.
std::string CheckItem(RealAnswersTest& t, const std::string& command) {
    if (command == "AT+CGSN") return t.CheckRow("IMEI: ");
    if (command == "AT+CPIN?") return t.CheckRow("SIM-карта: ");
    if (command == "AT+CSQ") return t.CheckRow("Уровень сигнала: ");
    if (command == "AT+CREG?") return t.CheckRow("Регистрация в сети: ");
    // "Изготовитель: A; модель: B; версия: C"
    const std::string row = t.CheckRow("Изготовитель: ");
    const std::string names[] = {"", "; модель: ", "; версия: "};
    const int item = command == "AT+CGMI" ? 0 : command == "AT+CGMM" ? 1 : 2;
    const size_t from = item == 0 ? 0 : row.find(names[item]);
    if (from == std::string::npos) return row;
    const size_t start = from + names[item].size();
    const size_t end = item == 2 ? row.size() : row.find("; ", start);
    return row.substr(start, end - start);
}

// Other makers' replies (tests/engine/RealAnswers.h) in both forms, whole and in random
// pieces: the check's row, and for the signal's questions the meter's reading.
TEST_F(RealAnswersTest, OtherMakersRepliesThroughTheCheckAndTheMeter) {
    for (const RealReply& r : QuirkReplies()) {
        for (const bool verbose : {true, false}) {
            for (const bool split : {false, true}) {
                VirtualModemOptions options;
                options.Split = split;
                options.Seed = 7;
                StartModem(r.Command, ReplyBytes(r, verbose), options);
                const std::string form = std::string(verbose ? "ATV1" : "ATV0") + (split ? ", in pieces" : "");
                EXPECT_EQ(CheckItem(*this, r.Command), r.Words) << r.Source << ", " << form;
                const std::string command = r.Command;
                if (command != "AT+CSQ" && command != "AT+CREG?") continue;
                // The meter shows the level's word ("хороший") and the registration.
                const std::optional<SignalReading> reading = MeterReading();
                ASSERT_TRUE(reading) << r.Source << ", " << form;
                const std::string shown = command == "AT+CSQ" ? reading->Words : reading->Registration;
                EXPECT_TRUE(r.Words.ends_with(shown)) << r.Source << ", " << form << ": " << shown;
            }
        }
    }
}

// Lines in the shape of a URC that no table of the reader holds, sent before every
// question of the check: every row is what it is without them.
TEST_F(RealAnswersTest, UnknownUrcsBeforeEveryQuestion) {
    const std::vector<std::pair<std::string, std::string>> answers = {
        {"AT+CGMI", "Cinterion"}, {"AT+CGMM", "MC52i"},     {"AT+CGMR", "REVISION 01.100"},
        {"AT+CGSN", "354237065082227"}, {"AT+CPIN?", "+CPIN: READY"}, {"AT+CSQ", "+CSQ: 17,99"},
        {"AT+CREG?", "+CREG: 0,1"},
    };
    const std::string rows = "Изготовитель: Cinterion; модель: MC52i; версия: REVISION 01.100|"
                             "IMEI: 354237065082227|SIM-карта: готова|Уровень сигнала: -79 дБм, хороший|"
                             "Регистрация в сети: домашняя сеть";
    for (const std::string urc : {"^BOOT:27710117,0,0,0,75", "^RSSI:18", "^NWTIME:24/12/09,20:05:00+12,0", "+ZEND",
                                  "+PSBEARER: 1", "^MODE:5,4", "+ZUSIMR:2", "^SRVST:2", "+ZPAS: \"UMTS\",\"CS_PS\""}) {
        std::vector<ScriptedAnswer> scripted;
        for (const auto& [command, answer] : answers)
            scripted.push_back({command, "\r\n" + urc + "\r\n" + Verbose(answer)});
        StartModemAnswering(scripted);
        std::string seen;
        for (const char* row : {"Изготовитель: ", "IMEI: ", "SIM-карта: ", "Уровень сигнала: ", "Регистрация в сети: "})
            seen += (seen.empty() ? "" : "|") + std::string(row) + CheckRow(row);
        EXPECT_EQ(seen, rows) << urc;
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
