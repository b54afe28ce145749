// The twelve steps of a job, from the operator's choices.

#include <cstdio>
#include <cstring>

#include "engine/ConfigEngine.h"

namespace {

constexpr int32_t CommandTimeoutMs = 1500;
constexpr int32_t CommandAttempts = 2;

ConfigStep Command(const char* text, const char* expected, const char* alternative = nullptr) {
    ConfigStep step;
    step.Kind = SendCommand;
    std::snprintf(step.Text, sizeof step.Text, "%s", text);
    step.Expected = expected;
    step.Alternative = alternative;
    step.TimeoutMs = CommandTimeoutMs;
    step.Attempts = CommandAttempts;
    return step;
}

ConfigStep PortSpeed(int32_t speed) {
    ConfigStep step;
    step.Kind = SetPortSpeed;
    std::memcpy(step.Text, &speed, sizeof speed);
    return step;
}

}  // namespace

void ConfigEngine::BuildSteps() {
    std::vector<ConfigStep>().swap(Steps);
    SimHint = 0;
    if (ModelIndex < 0 || ModelIndex >= static_cast<int32_t>(ModemModels.size())) return;
    SimHint = ModemModels[static_cast<size_t>(ModelIndex)].SimCardHint ? 1 : 0;
    // No speed chosen (a damaged stored index): AT+IPR=0 would switch the modem to
    // autobaud, which the operator never asked for.
    if (DeviceSpeed <= 0) return;

    const bool atComputer = IsLocal != 0;
    // After ATV0 the modem answers in the numeric form, so the last two replies follow it.
    const char* finalOk = atComputer ? VerboseOk : NumericOk;
    char setSpeed[sizeof ConfigStep::Text];
    std::snprintf(setSpeed, sizeof setSpeed, "AT+IPR=%d\r", DeviceSpeed);

    ConfigStep search;
    search.Kind = SearchModem;
    Steps = {
        search,
        // Sent at whatever speed the modem was found, in whichever form it answers there.
        Command(setSpeed, VerboseOk, NumericOk),
        PortSpeed(DeviceSpeed),
        Command("AT&F\r", VerboseOk),
        Command(atComputer ? "AT&D2\r" : "AT&D0\r", VerboseOk),
        Command(atComputer ? "ATX4\r" : "ATX0\r", VerboseOk),
        Command("ATS0=2\r", VerboseOk),
        Command("ATS7=60\r", VerboseOk),
        Command("ATL1\r", VerboseOk),
        Command("ATE0\r", VerboseOk),
        Command(atComputer ? "ATV1\r" : "ATV0\r", finalOk),
        Command("AT&W\r", finalOk),
    };
}
