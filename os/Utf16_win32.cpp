#include "os/Utf16_win32.h"

#include <windows.h>

namespace {

std::optional<std::string> FromUtf16(const wchar_t* text, size_t length, DWORD flags) {
    const int count = static_cast<int>(length);
    if (count == 0) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, flags, text, count, nullptr, 0, nullptr, nullptr);
    if (size == 0) return std::nullopt;
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, flags, text, count, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::wstring gToUtf16(const std::string& utf8) {
    const int length = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string gFromUtf16(const wchar_t* text, size_t length) { return FromUtf16(text, length, 0).value_or(""); }

std::optional<std::string> gFromUtf16Exactly(const wchar_t* text, size_t length) {
    return FromUtf16(text, length, WC_ERR_INVALID_CHARS);
}
