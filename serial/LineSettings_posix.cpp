#include "serial/LineSettings_posix.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <iterator>

namespace {

struct SpeedCode {
    uint32_t Speed;
    unsigned Code;
};

const SpeedCode SpeedCodes[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

const unsigned SizeCodes[] = {CS5, CS6, CS7, CS8};

// Line-settings parity codes: none, odd, even, mark, space.
const unsigned ParityCodes[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};

int Get(int fd, termios2& t) { return ioctl(fd, TCGETS2, &t) == 0 ? 0 : errno; }
int Set(int fd, const termios2& t) { return ioctl(fd, TCSETS2, &t) == 0 ? 0 : errno; }

uint32_t SpeedOf(const termios2& t) {
    const unsigned code = t.c_cflag & CBAUD;
    if (code == BOTHER) return t.c_ospeed;
    for (const SpeedCode& s : SpeedCodes) {
        if (s.Code == code) return s.Speed;
    }
    return 0;
}

void SetSpeed(termios2& t, uint32_t speed) {
    unsigned code = BOTHER;
    for (const SpeedCode& s : SpeedCodes) {
        if (s.Speed == speed) code = s.Code;
    }
    // Input speed code 0 means "as the output".
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= code;
    t.c_ispeed = speed;
    t.c_ospeed = speed;
}

void SetBit(unsigned& word, unsigned bit, bool on) { word = on ? word | bit : word & ~bit; }

uint32_t LineControl(int status, int bit, uint32_t enable) {
    // Without modem-control lines the line counts as raised, as writes assume.
    return status < 0 || (status & bit) ? enable : 0;
}

}  // namespace

int gMakeRaw(int fd) {
    termios2 t{};
    if (int error = Get(fd, t)) return error;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    // One byte satisfies a read, so a read of 0 means the device has gone, not "nothing yet".
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return Set(fd, t);
}

uint32_t gReadLineSpeed(int fd) {
    termios2 t{};
    return Get(fd, t) == 0 ? SpeedOf(t) : 0;
}

int gReadLineSettings(int fd, LineSettings& line) {
    termios2 t{};
    if (int error = Get(fd, t)) return error;
    line.BaudRate = SpeedOf(t);
    line.ByteSize = static_cast<uint8_t>(5 + ((t.c_cflag & CSIZE) >> 4));
    line.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    line.Parity = 0;
    for (unsigned p = 0; p < std::size(ParityCodes); ++p) {
        if ((t.c_cflag & (PARENB | PARODD | CMSPAR)) == ParityCodes[p]) line.Parity = static_cast<uint8_t>(p);
    }

    int status = 0;
    if (ioctl(fd, TIOCMGET, &status) != 0) status = -1;
    // The POSIX line is always binary; the flags without a termios counterpart read as off.
    line.Flags = LineFlag::Binary | LineControl(status, TIOCM_DTR, LineFlag::DtrControlEnable) |
                 LineControl(status, TIOCM_RTS, LineFlag::RtsControlEnable);
    if (t.c_iflag & INPCK) line.Flags |= LineFlag::Parity;
    if (t.c_cflag & CRTSCTS) line.Flags |= LineFlag::OutxCtsFlow;
    if (t.c_iflag & IXON) line.Flags |= LineFlag::OutX;
    if (t.c_iflag & IXOFF) line.Flags |= LineFlag::InX;
    return 0;
}

int gWriteLineSettings(int fd, const LineSettings& line) {
    if (line.BaudRate == 0 || line.ByteSize < 5 || line.ByteSize > 8 || line.StopBits > 2 ||
        line.Parity >= std::size(ParityCodes)) {
        return EINVAL;
    }
    termios2 t{};
    if (int error = Get(fd, t)) return error;
    SetSpeed(t, line.BaudRate);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
    t.c_cflag |= SizeCodes[line.ByteSize - 5] | ParityCodes[line.Parity];
    SetBit(t.c_cflag, CSTOPB, line.StopBits != 0);
    SetBit(t.c_iflag, INPCK, line.Flags & LineFlag::Parity);
    SetBit(t.c_cflag, CRTSCTS, line.Flags & LineFlag::OutxCtsFlow);
    SetBit(t.c_iflag, IXON, line.Flags & LineFlag::OutX);
    SetBit(t.c_iflag, IXOFF, line.Flags & LineFlag::InX);
    if (int error = Set(fd, t)) return error;

    const uint32_t dtr = line.Flags & LineFlag::DtrControlMask;
    const uint32_t rts = line.Flags & LineFlag::RtsControlMask;
    // Handshake and toggle modes have no termios counterpart; those lines are left alone.
    if (dtr <= LineFlag::DtrControlEnable) {
        if (int error = gSetModemLines(fd, TIOCM_DTR, dtr != 0); error && !gLacksModemLines(error)) return error;
    }
    if (rts <= LineFlag::RtsControlEnable) {
        if (int error = gSetModemLines(fd, TIOCM_RTS, rts != 0); error && !gLacksModemLines(error)) return error;
    }
    return 0;
}

int gSetModemLines(int fd, int bits, bool on) { return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? 0 : errno; }

bool gLacksModemLines(int error) { return error == ENOTTY || error == EINVAL; }
