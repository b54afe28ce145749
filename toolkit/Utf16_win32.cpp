#include "toolkit/Utf16_win32.h"

#include <windows.h>

std::wstring gToUtf16(const std::string& utf8) {
    const int length = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string gFromUtf16(const wchar_t* text, size_t length) {
    const int count = static_cast<int>(length);
    std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, count, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}
