#include "engine/Cp1251.h"

#include <array>
#include <cstdint>

namespace {

// 0x80..0xBF; 0xC0..0xFF are the Cyrillic capitals and small letters U+0410..U+044F in order.
constexpr std::array<char16_t, 64> UpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char32_t CodePoint(uint8_t byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xC0) return UpperHalf[byte - 0x80];
    return 0x0410 + (byte - 0xC0);
}

// Every code point of the page lies below U+10000: one to three UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next code point of UTF-8 text at at, which moves past it. A malformed sequence is
// one character that no code page has; that includes an overlong form ("C0 AF" for "/"),
// which would let a byte slip past a check made on the text, and a surrogate.
char32_t NextCodePoint(std::string_view text, size_t& at) {
    const auto lead = static_cast<uint8_t>(text[at++]);
    if (lead < 0x80) return lead;
    const int more = lead >= 0xF8 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || at + more > text.size()) return 0xFFFD;
    constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
    char32_t c = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        const auto next = static_cast<uint8_t>(text[at]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (next & 0x3F);
        ++at;
    }
    if (c < Least[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    return c;
}

char Cp1251Byte(char32_t c) {
    if (c < 0x80) return static_cast<char>(c);
    if (c >= 0x0410 && c <= 0x044F) return static_cast<char>(0xC0 + (c - 0x0410));
    for (size_t i = 0; i < UpperHalf.size(); ++i)
        if (UpperHalf[i] == c && c != 0xFFFD) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string gToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) out += Cp1251Byte(NextCodePoint(utf8, at));
    return out;
}

std::string gCp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) AppendUtf8(out, CodePoint(static_cast<uint8_t>(b)));
    return out;
}
