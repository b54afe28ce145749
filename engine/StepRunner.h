#pragma once
// The job as a run: the step list that BuildSteps made, carried out on the open port.

#include <vector>

#include "engine/ConfigStep.h"
#include "engine/ModemRun.h"

class JobRun final : public ModemRun {
public:
    // simHint: an error on ATS0=n points to the SIM card (the model's catalogue entry).
    JobRun(RunContext& context, SerialPort& port, const std::vector<ConfigStep>& steps, int32_t simHint)
        : ModemRun(context, port), Steps(steps), SimHint(simHint) {}
    void Work() override { RunSteps(); }
    // Runs the steps from first to last; always 1, its final row tells the outcome.
    int32_t RunSteps();

private:
    // Each step; false once it has ended the run, its row written.
    bool RunStep(const ConfigStep& step, int32_t& outcome);
    bool RunCommand(const ConfigStep& step, int32_t& outcome);
    void ReportS0AfterError(const char* command);

    const std::vector<ConfigStep>& Steps;
    const int32_t SimHint;
};
