#include "engine/RegistrationAnswer.h"

#include <array>
#include <vector>

#include "engine/AnswerFields.h"

namespace {

// By <stat>; 6 to 11 are the states of the later releases (SMS only, emergency only,
// CSFB not preferred, RLOS).
constexpr std::array<const char*, LastRegistrationState + 1> Words = {
    "не зарегистрирован",
    "домашняя сеть",
    "поиск сети",
    "регистрация отклонена",
    "неизвестно",
    "роуминг",
    "домашняя сеть, только SMS",
    "роуминг, только SMS",
    "только экстренные вызовы",
    "домашняя сеть, CSFB не предпочтителен",
    "роуминг, CSFB не предпочтителен",
    "только местные услуги оператора (RLOS)",
};

// The highest <n> of AT+CREG= (3: with the cause of a rejection).
constexpr int LastReportMode = 3;

// A decimal field, leading zeros allowed; none for anything else.
std::optional<int> Decimal(std::string_view field) {
    field = gTidyField(field);
    if (field.empty() || field.size() > 4) return std::nullopt;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Whether the second field is the state of the read form rather than the area code of
// the unsolicited one: area codes are two octets in hexadecimal, written as four digits,
// quoted or not, and a state is never quoted.
bool SecondIsState(std::string_view field) {
    if (gIsQuoted(field)) return false;
    const std::string_view tidy = gTidyField(field);
    const std::optional<int> value = Decimal(tidy);
    return value && *value <= LastRegistrationState && tidy.size() < 4;
}

}  // namespace

std::optional<int> gRegistrationStat(std::string_view line) {
    const std::optional<std::string_view> value = gValueAfter(line, "+CREG");
    if (!value) return std::nullopt;
    const std::vector<std::string_view> fields = gFields(*value);
    // One field is the unsolicited state alone, two the read form without a location, and
    // three the unsolicited state with its location: the read form never has a lone area
    // code. From four on, the first field tells: <n> is at most 3.
    size_t at = 0;
    if (fields.size() == 2) {
        at = 1;
    } else if (fields.size() >= 4) {
        const std::optional<int> first = Decimal(fields[0]);
        at = first && *first <= LastReportMode && SecondIsState(fields[1]) ? 1 : 0;
    }
    const std::optional<int> stat = Decimal(fields[at]);
    if (!stat || *stat > LastRegistrationState || gIsQuoted(fields[at])) return std::nullopt;
    return stat;
}

const char* gRegistrationWords(int stat) { return Words.at(static_cast<size_t>(stat)); }
