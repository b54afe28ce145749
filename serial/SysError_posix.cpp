#include "serial/SysError_posix.h"

#include <cerrno>

#include "serial/SysError.h"

const uint32_t AbortedCode = EINTR;
const uint32_t PendingCode = EAGAIN;

SysResult gErrnoResult(int error) {
    const uint32_t code = static_cast<uint32_t>(error);
    if (error == EINTR) return {ErrorKind::Aborted, code};
    if (error == EAGAIN || error == EWOULDBLOCK) return {ErrorKind::Pending, code};
    return {ErrorKind::Other, code};
}
