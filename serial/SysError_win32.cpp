#include "serial/SysError_win32.h"

#include <windows.h>

#include "serial/SysError.h"

const uint32_t AbortedCode = ERROR_OPERATION_ABORTED;
const uint32_t PendingCode = ERROR_IO_PENDING;

SysResult gWin32Result(uint32_t code) {
    if (code == AbortedCode) return {ErrorKind::Aborted, code};
    if (code == PendingCode) return {ErrorKind::Pending, code};
    return {ErrorKind::Other, code};
}
