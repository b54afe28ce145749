#pragma once
// Win32 error codes as the outcomes the port logic tells apart.

#include "serial/SerialPlatform.h"

// ERROR_OPERATION_ABORTED is an aborted call, ERROR_IO_PENDING a pending one, anything
// else plainly failed.
SysResult gWin32Result(uint32_t code);
