#include "sim/LineSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

uint32_t gTerminalSpeed(int fd) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return t.c_ospeed;
}
