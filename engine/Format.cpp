#include "engine/Format.h"

#include <cstdarg>
#include <cstdio>

std::string gFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
    va_end(again);
    return out;
}

std::string gOneDecimal(double value, char point) {
    std::string out = gFormat("%.1f", value);
    for (char& c : out)
        if (c == '.') c = point;
    return out;
}
