// What the signal meter of every window shows for a reading.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "frontend/SignalMeterLook.h"

TEST(SignalMeterLook, ShowsEachReadingAsTheOperatorReadsIt) {
    struct Case {
        int Csq;
        std::optional<int> Dbm;
        const char* Figure;
        const char* Words;
        int Bar;  // of 320
    };
    const Case cases[] = {
        {17, -79, "-79 дБм", "хороший", 180},
        {0, -113, "-113 дБм", "хороший", 10},
        {31, -51, "-51 дБм", "хороший", 320},
        {99, std::nullopt, "нет сигнала", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Csq);
        SignalReading reading;
        reading.Csq = c.Csq;
        reading.Dbm = c.Dbm;
        reading.Words = "хороший";
        reading.Registration = "роуминг";
        EXPECT_EQ(gSignalFigureText(reading), c.Figure);
        EXPECT_EQ(gSignalWordsText(reading), c.Words);
        EXPECT_EQ(gSignalBarLength(reading, 320), c.Bar);
        EXPECT_EQ(gSignalRegistrationText(reading), "Регистрация: роуминг");
    }
    EXPECT_EQ(gSignalMeterTitle(), "Тервана: уровень сигнала");
}
