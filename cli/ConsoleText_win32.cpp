#include "cli/ConsoleText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "toolkit/Utf16_win32.h"

// A console window shows UTF-16 through WriteConsoleW whatever its code page; that call
// fails on anything else, which gets the bytes in binary mode, without a CR put before
// each LF.
void gWriteConsoleText(std::FILE* to, const std::string& utf8) {
    const int fd = _fileno(to);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(to);
        const std::wstring wide = gToUtf16(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    _setmode(fd, _O_BINARY);
    std::fwrite(utf8.data(), 1, utf8.size(), to);
    std::fflush(to);
}

bool gIsConsole(std::FILE* to) {
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(to))), &mode) != 0;
}
