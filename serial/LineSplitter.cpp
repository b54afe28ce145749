#include "serial/LineSplitter.h"

#include <string_view>

std::optional<std::string> gTakeLine(std::string& pending) {
    for (;;) {
        const size_t end = pending.find_first_of("\r\n");
        if (end == std::string::npos) return std::nullopt;
        std::string line;
        for (char c : std::string_view(pending).substr(0, end))
            if (c != '\0') line += c;
        pending.erase(0, end + 1);
        if (!line.empty()) return line;
    }
}
