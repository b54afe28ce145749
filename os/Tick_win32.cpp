#include "os/Tick.h"

#include <windows.h>

uint32_t gTickCount() { return GetTickCount(); }
