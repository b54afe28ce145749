#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdint>

bool gSetArbitrarySpeed(int fd, uint32_t speed) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag = (t.c_cflag & ~CBAUD) | BOTHER;
    t.c_ispeed = speed;
    t.c_ospeed = speed;
    return ioctl(fd, TCSETS2, &t) == 0;
}
