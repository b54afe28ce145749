#include "cli/ConsoleText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "os/Utf16_win32.h"

namespace {

HANDLE HandleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

bool IsConsoleHandle(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// Older consoles refuse a single write much above 64 KiB, and a piece must not end
// between the two halves of a surrogate pair.
void WriteToConsole(HANDLE console, const std::wstring& text) {
    constexpr size_t Piece = 8192;
    for (size_t at = 0; at < text.size();) {
        size_t count = std::min(Piece, text.size() - at);
        if (at + count < text.size() && IS_HIGH_SURROGATE(text[at + count - 1])) --count;
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + at, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return;
        at += written;
    }
}

}  // namespace

// WriteConsoleW fails on anything but a console, which gets the bytes in binary mode.
void gWriteConsoleText(std::FILE* to, const std::string& utf8) {
    const HANDLE handle = HandleOf(to);
    if (IsConsoleHandle(handle)) {
        std::fflush(to);
        WriteToConsole(handle, gToUtf16(utf8));
        return;
    }
    _setmode(_fileno(to), _O_BINARY);
    std::fwrite(utf8.data(), 1, utf8.size(), to);
    std::fflush(to);
}

bool gIsConsole(std::FILE* to) { return IsConsoleHandle(HandleOf(to)); }
