// The shared rules of the saved log: the file name and the code page.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "engine/Cp1251.h"
#include "frontend/LogFile.h"

namespace {

// The cases are written with '/'; the platform's own separator takes its place.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', PathSeparator);
    return path;
}

}  // namespace

TEST(LogPath, IsAdjustedOnlyInTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/logs/run", "/logs/run.txt"},
        {"/logs/run.txt", "/logs/run.txt"},
        {"/logs/run.TXT", "/logs/run.TXT.txt"},
        {"/logs/a.txt.log", "/logs/a.log.txt"},
        {"/logs/my.txtfile", "/logs/myfile.txt"},
        {"/logs/a.t.txtxt", "/logs/a.txt.txt"},
        {"/logs/a.txt.txt", "/logs/a.txt"},
        {"/logs/.txt", "/logs/.txt"},
        {"/dir.txt/x", "/dir.txt/x.txt"},
        {"/run", "/run.txt"},
        {"logs/Журнал", "logs/Журнал.txt"},
    };
    for (const auto& [chosen, written] : cases) EXPECT_EQ(gAdjustLogPath(Native(chosen)), Native(written)) << chosen;
}

TEST(LogPath, WithoutSeparatorIsRefused) {
    EXPECT_EQ(gAdjustLogPath("run"), std::nullopt);
    // Only the platform's own separator divides a path.
    const char foreign = PathSeparator == '/' ? '\\' : '/';
    EXPECT_EQ(gAdjustLogPath(std::string("logs") + foreign + "run"), std::nullopt);
}

TEST(Cp1251, KeepsItsCharactersAndMarksOthers) {
    const std::pair<const char*, const char*> cases[] = {
        {"AT+IPR=9600", "AT+IPR=9600"},
        {"Ёжик №1", "\xA8\xE6\xE8\xEA \xB9" "1"},
        {"€ «»", "\x88 \xAB\xBB"},
        {"über", "?ber"},
        {"中文", "??"},
        {"a\xF0\x9F\x98\x80z", "a?z"},     // outside the basic plane: one character
        {"\x1A", "\x1A"},                  // a real SUB stays what it is
        {"bad\xFFutf", "bad?utf"},
        // Overlong forms are no characters: "/" and "." may not slip in as two or three bytes.
        {"a\xC0\xAFz", "a?z"},
        {"\xE0\x80\xAE", "?"},
        {"\xF0\x82\x82\xAC", "?"},     // the euro sign in four bytes
        {"\xED\xA0\x80", "?"},          // a surrogate half
        {"\xF4\x90\x80\x80", "?"},     // beyond U+10FFFF
        {"\xC2\xA0\xE2\x82\xAC", "\xA0\x88"},  // the shortest forms stay themselves
        {"", ""},
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(gToCp1251(utf8), bytes) << utf8;
}
