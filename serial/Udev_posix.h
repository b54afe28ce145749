#pragma once
// What udev knows of a character device. One object per lookup session: a udev
// context is not to be shared between threads.

#include <sys/types.h>

#include "serial/PortIdentity.h"

struct udev;

class UdevView {
public:
    UdevView();
    ~UdevView();
    UdevView(const UdevView&) = delete;
    UdevView& operator=(const UdevView&) = delete;

    DeviceFacts Facts(dev_t device) const;
    // True when the device's udev properties tell modem managers to leave it alone.
    bool ModemManagerIgnores(dev_t device) const;

private:
    udev* Context;
};
