#pragma once
// Opening the device behind a COM number for this program alone, and finding out why
// that failed.

#include <string>

#include "serial/OpenFailure.h"

// A descriptor of the terminal device at path (a device or a link to one), locked and
// in exclusive mode; -1 with the cause in failure when it is missing, not allowed, not a
// terminal, or held by any other process, whether or not that process locked it.
int gOpenTerminalAlone(const std::string& path, OpenFailure& failure);
