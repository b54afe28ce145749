#pragma once
// Waits until one of the given events (null ones left out) is signalled; looks at them
// without clearing any.

#include "os/Event.h"

void gWaitForEither(const Event* a, const Event* b);
