#pragma once
// The signal job as a run: the level read once an interval until the operator stops it.

#include <string>

#include "engine/ModemRun.h"
#include "toolkit/SignalReading.h"

class SignalRun final : public ModemRun {
public:
    SignalRun(RunContext& context, SerialPort& port, uint32_t intervalMs)
        : ModemRun(context, port), IntervalMs(intervalMs) {}
    void Work() override;
    // Shows the meter the end, whether or not the port opened.
    void TellEnd();

private:
    const uint32_t IntervalMs;
    SignalReading Last;
    std::string Summary;  // none unless readings were taken
};
