#include "frontend/BuildDate.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::array<const char*, 12> Months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string gFormatBuildDate(int year, int month, int day) {
    const char* name = month >= 1 && month <= 12 ? Months[month - 1] : "???";
    char text[32];
    std::snprintf(text, sizeof text, "%s %2d %04d", name, day, year);
    return text;
}

std::string gBuildDate() {
    // __DATE__ is "Mmm dd yyyy"; some compilers pad the day with a zero.
    const char* date = __DATE__;
    int month = 0;
    for (size_t i = 0; i < Months.size(); ++i)
        if (std::strncmp(date, Months[i], 3) == 0) month = static_cast<int>(i) + 1;
    int day = 0;
    int year = 0;
    if (month == 0 || std::sscanf(date + 3, "%d %d", &day, &year) != 2) return date;
    return gFormatBuildDate(year, month, day);
}
