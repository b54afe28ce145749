// Every answer parser over any information line, alone and as an OK answer: an IMEI has
// 15 digits, a state and a level are in their ranges, and every row can be shown.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/AnswerFields.h"
#include "engine/CheckRows.h"
#include "engine/ImeiAnswer.h"
#include "engine/RegistrationAnswer.h"
#include "engine/SignalValue.h"
#include "engine/SimAnswer.h"
#include "fuzz/FuzzCheck.h"

namespace {

bool AllDigits(const std::string& text) { return text.find_first_not_of("0123456789") == std::string::npos; }

void Line(std::string_view line) {
    if (const std::optional<std::string> imei = gImei(line)) KX_FUZZ_CHECK(imei->size() == 15 && AllDigits(*imei));
    if (const std::optional<int> stat = gRegistrationStat(line)) {
        KX_FUZZ_CHECK(*stat >= 0 && *stat <= LastRegistrationState);
        KX_FUZZ_CHECK(gRegistrationWords(*stat) != nullptr);
    }
    if (const std::optional<std::string> code = gSimCode(line)) gSimCodeWords(*code);
    gSimErrorWords(-1, line);
    for (const std::string_view field : gFields(line)) {
        const std::string_view tidy = gTidyField(field);
        KX_FUZZ_CHECK(tidy.size() <= field.size());
    }
}

void Rows(const InfoReply& answer) {
    if (const std::optional<std::string> imei = gImeiOf(answer)) KX_FUZZ_CHECK(imei->size() == 15 && AllDigits(*imei));
    if (const std::optional<int> level = gCsqLevel(answer)) KX_FUZZ_CHECK((*level >= 0 && *level <= 31) || *level == 99);
    if (const std::optional<SignalReading> reading = gSignalReading(answer, answer)) {
        KX_FUZZ_CHECK(!reading->Dbm || (*reading->Dbm >= LowestDbm && *reading->Dbm <= HighestDbm));
        KX_FUZZ_CHECK(!reading->Registration.empty());
    }
    KX_FUZZ_CHECK(gImeiRow(answer).starts_with("IMEI: "));
    KX_FUZZ_CHECK(gSimRow(answer).starts_with("SIM-карта: "));
    KX_FUZZ_CHECK(gSignalRow(answer).starts_with("Уровень сигнала: "));
    KX_FUZZ_CHECK(gRegistrationRow(answer).starts_with("Регистрация в сети: "));
    gIdentityRow(answer, answer, answer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Line(text);
    InfoReply answer;
    answer.Complete = true;
    answer.Code = Ok;
    answer.Final = "OK";
    // The lines as the reader gives them: cut at line ends, none empty.
    for (size_t at = 0; at <= text.size();) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        if (end > at) answer.Lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    Rows(answer);
    answer.Code = ModemError;
    answer.Final = text;
    answer.CmeError = size > 0 ? data[0] : -1;
    Rows(answer);
    return 0;
}
