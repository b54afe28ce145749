#include "tests/serial/MasterSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

uint32_t gMasterSpeed(int master) {
    termios2 t{};
    if (ioctl(master, TCGETS2, &t) != 0) return 0;
    return t.c_ospeed;
}
