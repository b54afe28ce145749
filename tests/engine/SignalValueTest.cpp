// The reading-to-value rule of the signal job: what the meter shows for each answer.

#include <gtest/gtest.h>

#include "engine/SignalValue.h"

namespace {

InfoReply Answer(ReplyCode code, std::vector<std::string> lines) {
    InfoReply r;
    r.Complete = true;
    r.Code = code;
    r.Lines = std::move(lines);
    return r;
}

struct ValueCase {
    const char* Name;
    InfoReply Csq;
    bool Shown;
    int Csq_;
    std::optional<int> Dbm;
    const char* Words;
};

TEST(SignalValue, EachAnswerGivesItsValueOrNone) {
    const InfoReply home = Answer(Ok, {"+CREG: 0,1"});
    const ValueCase cases[] = {
        {"0", Answer(Ok, {"+CSQ: 0,99"}), true, 0, -113, "нет сигнала"},
        {"1", Answer(Ok, {"+CSQ: 1,99"}), true, 1, -111, "нет сигнала"},
        {"10", Answer(Ok, {"+CSQ: 10,99"}), true, 10, -93, "средний"},
        {"20", Answer(Ok, {"+CSQ: 20,0"}), true, 20, -73, "отличный"},
        {"31", Answer(Ok, {"+CSQ: 31,99"}), true, 31, -51, "отличный"},
        {"99", Answer(Ok, {"+CSQ: 99,99"}), true, 99, std::nullopt, "нет сигнала"},
        {"out of range", Answer(Ok, {"+CSQ: 45,99"}), false, 0, std::nullopt, ""},
        {"garbage", Answer(Ok, {"+CSQ: x7"}), false, 0, std::nullopt, ""},
        {"no number", Answer(Ok, {}), false, 0, std::nullopt, ""},
        {"ERROR", Answer(ModemError, {}), false, 0, std::nullopt, ""},
    };
    for (const ValueCase& c : cases) {
        const std::optional<SignalReading> r = gSignalReading(c.Csq, home);
        ASSERT_EQ(r.has_value(), c.Shown) << c.Name;
        if (!r) continue;
        EXPECT_EQ(r->Csq, c.Csq_) << c.Name;
        EXPECT_EQ(r->Dbm, c.Dbm) << c.Name;
        EXPECT_EQ(r->Words, c.Words) << c.Name;
        EXPECT_EQ(r->Registration, "домашняя сеть") << c.Name;
    }
}

TEST(SignalValue, SummaryGivesLeastMedianAndGreatest) {
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, "Измерение завершено: показаний 2; уровень сигнала не получен"},
        {{-79}, "Измерение завершено: показаний 2; мин. -79 дБм, медиана -79 дБм, макс. -79 дБм"},
        {{-71, -95, -79, -81}, "Измерение завершено: показаний 2; мин. -95 дБм, медиана -80 дБм, макс. -71 дБм"},
    };
    for (const auto& [dbms, row] : cases) EXPECT_EQ(gSignalSummary(2, dbms), row);
}

}  // namespace

// The meters shade these bands: each holds exactly the levels the check gives its word.
TEST(SignalValue, BandsHoldTheLevelsOfTheirWords) {
    struct Case {
        const char* Word;
        double Low, High;
    };
    const Case cases[] = {
        {"слабый", -110, -94}, {"средний", -94, -84}, {"хороший", -84, -74}, {"отличный", -74, -50}, {"нет", 0, 0},
    };
    for (const Case& c : cases) {
        const DbmSpan band = gSignalBand(c.Word);
        EXPECT_EQ(band.Low, c.Low) << c.Word;
        EXPECT_EQ(band.High, c.High) << c.Word;
    }
}
