#include "os/ErrorText.h"

#include <windows.h>

#include "os/Utf16_win32.h"

// The system's text in the user's language, line break at its end included. Asked for in
// UTF-16, so that it comes out right in UTF-8 whatever the ANSI code page is.
std::string gGetErrorText(uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::string utf8 = length > 0 ? gFromUtf16(text, length) : std::string();
    LocalFree(text);
    return utf8;
}
