#pragma once
// Why a COM port did not open, as the platform found it, and the line that tells the
// operator. The platform fills the facts; the wording is shared by every platform.

#include <cstdint>
#include <string>
#include <vector>

enum class OpenFault { Unknown, NoDevice, NoPermission, Busy, NotTerminal, PtyMaster, Other };

// A program that has the device open.
struct PortHolder {
    int Pid = 0;
    std::string Program;
};

struct OpenFailure {
    OpenFault Fault = OpenFault::Unknown;
    // The device the number leads to, as the operator can find it; empty when none.
    std::string Device;
    // The system's error number, for Other.
    uint32_t Code = 0;
    // NoPermission: the group whose members may use the device; empty when none may.
    std::string Group;
    // Busy: the programs seen holding the device, and whether some programs' open
    // files could not be looked at.
    std::vector<PortHolder> Holders;
    bool HoldersHidden = false;
    // Busy: a modem manager service that holds the device, or that runs and is not told
    // to leave it alone while the holders are hidden; empty otherwise.
    std::string ModemManager;
};

// The line under the box's text that names the device and the cause, with the remedy
// where there is one; empty when the cause is unknown.
std::string gOpenFailureLine(int comNumber, const OpenFailure& failure);
