#include "serial/SysError_posix.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "serial/SerialPort.h"
#include "serial/SysError.h"

const uint32_t AbortedCode = EINTR;
const uint32_t PendingCode = EAGAIN;

SysResult gErrnoResult(int error) {
    const uint32_t code = static_cast<uint32_t>(error);
    if (error == EINTR) return {ErrorKind::Aborted, code};
    if (error == EAGAIN || error == EWOULDBLOCK) return {ErrorKind::Pending, code};
    return {ErrorKind::Other, code};
}

std::string gGetErrorText(uint32_t code) {
    // strerror invents "Unknown error N" for codes it does not know; those have no text.
    if (code > INT_MAX || !strerrordesc_np(static_cast<int>(code))) return {};
    char buffer[256];
    return strerror_r(static_cast<int>(code), buffer, sizeof buffer);
}
