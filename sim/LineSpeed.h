#pragma once
// The speed a terminal is set to, read through the ioctl that knows arbitrary rates
// (14400 and 56000 have no classic code). Kept apart: its kernel header clashes with
// <termios.h>.

#include <cstdint>

// 0 when it cannot be read.
uint32_t gTerminalSpeed(int fd);
