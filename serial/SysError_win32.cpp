#include "serial/SysError_win32.h"

#include <windows.h>

#include "serial/SerialPort.h"
#include "serial/SysError.h"
#include "toolkit/Utf16_win32.h"

const uint32_t AbortedCode = ERROR_OPERATION_ABORTED;
const uint32_t PendingCode = ERROR_IO_PENDING;

SysResult gWin32Result(uint32_t code) {
    if (code == AbortedCode) return {ErrorKind::Aborted, code};
    if (code == PendingCode) return {ErrorKind::Pending, code};
    return {ErrorKind::Other, code};
}

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
