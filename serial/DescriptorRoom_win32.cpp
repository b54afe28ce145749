#include "serial/DescriptorRoom.h"

// A Windows handle table grows under its own lock, without waiting on the process's
// other threads, and the number of handles has no soft limit to raise.
int gMakeDescriptorRoom(int count) { return count; }
