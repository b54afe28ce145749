#pragma once
// The operator's four choices for a job and the settings store's names for them: the one
// place that knows those names. A front end that keeps no settings hands its choices to
// the engine as they are (ConfigEngine::InitEngine).

#include <cstdint>

#include "engine/IntSettings.h"

enum class Choice { Com, Model, Speed, Place };

struct ModemChoices {
    int32_t ComIndex = 0;    // in the COM selector; the port number is one more
    int32_t ModelIndex = 0;  // into ModemCatalogue
    int32_t SpeedIndex = 3;  // into SpeedTable: "9600"
    int32_t Place = 0;       // 0 at the metering device, 1 at the computer
};

// The stored choices, the defaults where none is stored.
ModemChoices gReadStoredChoices(IntSettings& settings);
void gStoreChoice(IntSettings& settings, Choice choice, int32_t value);
