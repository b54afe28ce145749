#pragma once
// The program's UTF-8 text to and from the UTF-16 that Windows' wide calls take.

#include <string>

std::wstring gToUtf16(const std::string& utf8);
std::string gFromUtf16(const wchar_t* text, size_t length);
