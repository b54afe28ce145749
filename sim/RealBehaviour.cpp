#include "sim/RealBehaviour.h"

#include <charconv>

std::string gFormatUnaskedText(std::string_view text, const ModemSettings& s) {
    const std::string crlf{static_cast<char>(s.LineEnd), static_cast<char>(s.LineFeed)};
    return (s.Verbose ? crlf : std::string()) + std::string(text) + crlf;
}

std::string gCmeText(int code) {
    switch (code) {
        case 3: return "operation not allowed";
        case 4: return "operation not supported";
        case 10: return "SIM not inserted";
        case 11: return "SIM PIN required";
        case 12: return "SIM PUK required";
        case 16: return "incorrect password";
        case 30: return "no network service";
        default: return "unknown";
    }
}

bool gStartsAttach(std::string_view body) {
    for (size_t at = body.find_first_of("Ss"); at != std::string_view::npos; at = body.find_first_of("Ss", at + 1)) {
        if (body.substr(at + 1, 2) != "0=") continue;
        const std::string_view value = body.substr(at + 3);
        uint32_t n = 0;
        std::from_chars(value.data(), value.data() + value.size(), n);
        return n > 0;
    }
    return false;
}
