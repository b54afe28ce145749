#pragma once
// errno as the outcomes the port logic tells apart.

#include "serial/SerialPlatform.h"

// EINTR is an aborted call, EAGAIN a pending one, anything else plainly failed.
SysResult gErrnoResult(int error);
