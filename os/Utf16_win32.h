#pragma once
// The program's UTF-8 text to and from the UTF-16 that Windows' wide calls take.

#include <optional>
#include <string>

std::wstring gToUtf16(const std::string& utf8);
std::string gFromUtf16(const wchar_t* text, size_t length);

// Nothing when the text is not valid UTF-16 (a lone surrogate), instead of a U+FFFD in
// its place.
std::optional<std::string> gFromUtf16Exactly(const wchar_t* text, size_t length);
