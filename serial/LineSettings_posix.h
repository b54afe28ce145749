#pragma once
// The line-settings record mirrored onto a terminal's termios. Kept apart because the
// custom-speed interface (termios2) cannot share a file with <termios.h>.
// Each function returns 0 or an errno value.

#include "serial/SerialPlatform.h"

// Raw bytes in both directions, no modem-status hang-ups, reads that wait for a byte.
int gMakeRaw(int fd);
int gReadLineSettings(int fd, LineSettings& line);
// The speed alone, in bit/s, with one system call; 0 when it cannot be read.
uint32_t gReadLineSpeed(int fd);
// Speed (any, by termios2 when it has no constant), format, flow control, DTR and RTS.
int gWriteLineSettings(int fd, const LineSettings& line);
// Raises (on) or drops the modem lines in bits (TIOCM_*).
int gSetModemLines(int fd, int bits, bool on);
// The error of a device without modem-control lines (a pseudo-terminal, some USB
// adapters): setting them counts as done.
bool gLacksModemLines(int error);
