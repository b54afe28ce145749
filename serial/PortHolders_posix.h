#pragma once
// Who else has a device node open, found as fuser finds it: through the descriptor
// links of every process in /proc.

#include <sys/types.h>

#include <string>
#include <vector>

#include "serial/OpenFailure.h"

struct DeviceHolders {
    std::vector<PortHolder> Seen;
    // Some processes' descriptors could not be looked at (another user's, without root).
    bool Hidden = false;
};

// The processes other than this one that hold the character device device open. For a
// pseudo-terminal the process on its master side is the modem's end, not a rival, and
// does not count. Safe from many threads at once: callers meanwhile share one look at
// /proc that begins after each of them called.
DeviceHolders gFindDeviceHolders(dev_t device);

// The name of a modem manager service that runs now; empty when none does.
std::string gRunningModemManager();
