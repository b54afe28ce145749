#pragma once
// A failed CreateFile of \\.\COMn as the operator's cause. A COM port is always opened
// exclusively: access denied means another program has it.

#include <cstdint>

#include "serial/OpenFailure.h"

OpenFailure gOpenFailureFromCode(uint32_t error);
