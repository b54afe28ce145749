#pragma once
// Where COM numbers lead on this machine.

#include <string>

// The maker's folder name: the ports folder and the stored settings live under the same one.
inline constexpr const char* CompanyName = "Halvstad";

// The per-user folder whose links named COMn point at devices:
// $XDG_CONFIG_HOME/Halvstad/ports, or ~/.config/Halvstad/ports.
std::string gPortsFolder();

// The device that COMn stands for now: the link COMn in the ports folder, otherwise the
// n-th real serial device not already taken by a link. Empty when nothing answers to it.
std::string gResolveComPort(int n);
