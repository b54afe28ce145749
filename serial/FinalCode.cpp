#include "serial/FinalCode.h"

#include <cstdlib>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The words of V.250's numeric codes, by their number; 2 is RING, which is never final.
constexpr const char* NumericWords[] = {"OK", "CONNECT", nullptr, "NO CARRIER", "ERROR", nullptr, "NO DIALTONE", "BUSY",
                                        "NO ANSWER"};

// The codes that stand alone as a line, and those that open one (CONNECT 9600, +CME
// ERROR: 10, the EZX phones' MODEM ERROR: 5).
constexpr std::string_view WholeLines[] = {"OK", "CONNECT", "NO CARRIER", "ERROR", "NO DIALTONE", "BUSY",
                                           "NO ANSWER", "COMMAND NOT SUPPORT"};
constexpr std::string_view Openings[] = {"CONNECT ", "+CME ERROR:", "+CMS ERROR:", "MODEM ERROR:"};

int CmeNumber(std::string_view line) {
    const std::string number(line.substr(std::string_view("+CME ERROR:").size()));
    char* end = nullptr;
    const long code = std::strtol(number.c_str(), &end, 10);
    while (end && *end == ' ') ++end;
    return end != number.c_str() && *end == '\0' && code >= 0 && code < 100000 ? static_cast<int>(code) : -1;
}

}  // namespace

std::optional<FinalCode> gVerboseFinal(std::string_view line) {
    bool final = false;
    for (const std::string_view whole : WholeLines) final = final || line == whole;
    for (const std::string_view opening : Openings) final = final || StartsWith(line, opening);
    if (!final) return std::nullopt;
    FinalCode code;
    code.Code = line == "OK" ? Ok : ModemError;
    code.Words = std::string(line);
    if (StartsWith(line, "+CME ERROR:")) code.CmeError = CmeNumber(line);
    return code;
}

std::optional<FinalCode> gNumericFinal(std::string_view line) {
    if (line.size() != 1 || line[0] < '0' || line[0] > '8') return std::nullopt;
    const char* words = NumericWords[line[0] - '0'];
    if (!words) return std::nullopt;
    FinalCode code;
    code.Code = line == "0" ? Ok : ModemError;
    code.Words = words;
    return code;
}
