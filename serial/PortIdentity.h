#pragma once
// What stands behind each COM number now: the device it leads to, whether that device
// is there, and what the system knows of it. Looked up afresh on every call; one
// implementation per platform, the wording shared.

#include <string>
#include <vector>

enum class PortPresence {
    Nothing,    // the number leads nowhere
    Missing,    // it leads to a device that is not there (a dangling link)
    NotDevice,  // it leads to something that is not a character device
    PtyMaster,  // it leads to the maker of pseudo-terminal masters (/dev/ptmx): no serial port
    Device,
};

// Empty where the system does not tell.
struct DeviceFacts {
    std::string Driver;
    std::string Vendor;
    std::string Product;
    std::string Serial;
};

struct PortIdentity {
    int Number = 0;
    PortPresence Presence = PortPresence::Nothing;
    // The operator's own name for the device (a link in the ports folder); empty when the
    // number stands for the device itself.
    std::string Route;
    // The device the number ends at; empty for Nothing.
    std::string Device;
    DeviceFacts Facts;
};

// COM1 to COMcount, in order.
std::vector<PortIdentity> gIdentifyComPorts(int count);

// One line for the operator: the device and its identity, or that nothing is behind the
// number. Without the COM name.
std::string gDescribePort(const PortIdentity& port);
