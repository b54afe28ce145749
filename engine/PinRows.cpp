#include "engine/PinRows.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "engine/SimAnswer.h"

bool gIsPinCode(const std::string& pin) {
    return pin.size() >= ShortestPin && pin.size() <= LongestPin &&
           pin.find_first_not_of("0123456789") == std::string::npos;
}

int gPinTriesLeft(const InfoReply& answer) {
    if (answer.Code != Ok) return -1;
    constexpr std::string_view name = "+CPINR: SIM PIN,";
    for (std::string_view line : answer.Lines) {
        if (line.substr(0, name.size()) != name) continue;
        line.remove_prefix(name.size());
        int tries = -1;
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), tries);
        return error == std::errc() && tries >= 0 ? tries : -1;
    }
    return -1;
}

std::string gPinState(const InfoReply& answer) {
    if (answer.Code != Ok) return {};
    for (const std::string& line : answer.Lines)
        if (std::optional<std::string> code = gSimCode(line)) return *code;
    return {};
}
