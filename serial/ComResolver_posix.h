#pragma once
// COM numbering over given folders, so it can be exercised on a made-up machine.

#include <string>
#include <vector>

struct DeviceFolders {
    std::string Ports;                       // the per-user folder of COMn links
    std::string Dev = "/dev";                // where the device nodes are
    std::string SysTty = "/sys/class/tty";  // what the kernel says about each terminal
};

// Link COMn first; otherwise ttyS*, ttyUSB*, ttyACM* in numeric order, leaving out UARTs
// with no hardware behind them, devices a link already names, and numbers links take.
std::string gResolveComPortIn(int n, const DeviceFolders& folders);

// COM1 to COMcount at once, by the same rule, scanning the folders once.
std::vector<std::string> gResolveComPortsIn(int count, const DeviceFolders& folders);

// The device a path ends at, following links whether or not anything is there.
std::string gDeviceBehind(const std::string& path);
