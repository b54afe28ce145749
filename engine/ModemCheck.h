#pragma once
// The modem check as a run: questions that change nothing in the modem, a row each.

#include "engine/ModemRun.h"

class CheckRun final : public ModemRun {
public:
    using ModemRun::ModemRun;
    void Work() override;
};
