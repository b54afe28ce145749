#include "serial/DescriptorRoom.h"

// A Windows handle table grows under its own lock, without waiting on the process's
// other threads, and the number of handles has no soft limit to raise.
DescriptorRoom gMakeDescriptorRoom(int items, int eachHolds) {
    const int needed = items * eachHolds;
    return {needed, needed};
}
