#include "engine/SimAnswer.h"

#include <cctype>

#include "engine/AnswerFields.h"

namespace {

// Each state of the card once: its +CPIN code, the +CME ERROR that reports the same
// state, that error's text with AT+CMEE=2, and the words.
struct SimState {
    std::string_view Code;
    int CmeError;
    std::string_view ErrorText;
    const char* Words;
};

constexpr SimState States[] = {
    {"READY", -1, "", "готова"},
    {"", 10, "SIM not inserted", "не вставлена"},
    {"SIM PIN", 11, "SIM PIN required", "нужен PIN-код"},
    {"SIM PUK", 12, "SIM PUK required", "нужен PUK-код"},
    {"", 13, "SIM failure", "неисправна"},
    {"", 14, "SIM busy", "занята"},
    {"", 15, "SIM wrong", "не подходит к модему"},
    {"SIM PIN2", 17, "SIM PIN2 required", "нужен PIN2-код"},
    {"SIM PUK2", 18, "SIM PUK2 required", "нужен PUK2-код"},
    {"PH-SIM PIN", 5, "PH-SIM PIN required", "нужен код привязки модема к SIM-карте (PH-SIM PIN)"},
    {"PH-FSIM PIN", 6, "PH-FSIM PIN required", "нужен код привязки модема к первой SIM-карте (PH-FSIM PIN)"},
    {"PH-FSIM PUK", 7, "PH-FSIM PUK required", "нужен PUK-код привязки модема к первой SIM-карте (PH-FSIM PUK)"},
    {"PH-NET PIN", 40, "network personalization PIN required", "нужен код разблокировки сети (PH-NET PIN)"},
    {"PH-NET PUK", 41, "network personalization PUK required", "нужен PUK-код разблокировки сети (PH-NET PUK)"},
    {"PH-NETSUB PIN", 42, "network subset personalization PIN required",
     "нужен код разблокировки подсети (PH-NETSUB PIN)"},
    {"PH-NETSUB PUK", 43, "network subset personalization PUK required",
     "нужен PUK-код разблокировки подсети (PH-NETSUB PUK)"},
    {"PH-SP PIN", 44, "service provider personalization PIN required",
     "нужен код разблокировки поставщика услуг (PH-SP PIN)"},
    {"PH-SP PUK", 45, "service provider personalization PUK required",
     "нужен PUK-код разблокировки поставщика услуг (PH-SP PUK)"},
    {"PH-CORP PIN", 46, "corporate personalization PIN required", "нужен корпоративный код разблокировки (PH-CORP PIN)"},
    {"PH-CORP PUK", 47, "corporate personalization PUK required",
     "нужен корпоративный PUK-код разблокировки (PH-CORP PUK)"},
};

// Modems write the texts of 27.007 in their own case.
bool SameWords(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::optional<std::string> gSimCode(std::string_view line) {
    const std::optional<std::string_view> value = gValueAfter(line, "+CPIN");
    if (!value) return std::nullopt;
    // Blanks inside the code, "SIM  PIN", are read as one.
    std::string code;
    for (const char c : gTidyField(*value)) {
        if (c == ' ' && (code.empty() || code.back() == ' ')) continue;
        code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return code;
}

std::optional<std::string> gSimCodeWords(std::string_view code) {
    for (const SimState& s : States)
        if (!s.Code.empty() && s.Code == code) return s.Words;
    return std::nullopt;
}

std::optional<std::string> gSimErrorWords(int cmeError, std::string_view finalCode) {
    const std::optional<std::string_view> text = gValueAfter(finalCode, "+CME ERROR");
    for (const SimState& s : States) {
        if (s.CmeError < 0) continue;
        if (s.CmeError == cmeError || (text && SameWords(gTidyField(*text), s.ErrorText))) return s.Words;
    }
    return std::nullopt;
}
