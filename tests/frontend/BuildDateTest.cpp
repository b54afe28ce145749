// The build date as the About box shows it.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "frontend/BuildDate.h"

TEST(BuildDate, DayIsRightAlignedInTwoCharacters) {
    struct Case {
        int Year, Month, Day;
        const char* Text;
    };
    const Case cases[] = {
        {2026, 12, 7, "Dec  7 2026"},
        {2026, 1, 1, "Jan  1 2026"},
        {2027, 9, 9, "Sep  9 2027"},
        {2026, 10, 10, "Oct 10 2026"},
        {2028, 2, 29, "Feb 29 2028"},
        {2026, 13, 1, "???  1 2026"},
    };
    for (const Case& c : cases) EXPECT_EQ(gFormatBuildDate(c.Year, c.Month, c.Day), c.Text) << c.Text;
}

TEST(BuildDate, BuildDayHasTheSameForm) {
    const std::string date = gBuildDate();
    EXPECT_TRUE(std::regex_match(date, std::regex("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ( [1-9]|[12][0-9]|3[01]) [0-9]{4}")))
        << date;
}
