#pragma once
// The stored profile kept between runs as the one command line that sets it, such as
// "ATE1V1X4L0&D2S0=0S7=60+IPR=115200", read back by the modem's own interpreter, and on
// a second line what the SIM card keeps over a power cut (its lock and tries).

#include <optional>
#include <string>

#include "sim/ModemSettings.h"
#include "sim/SimCard.h"

// The stored part read from file onto base; nothing when the file is missing or unreadable.
std::optional<ModemSettings> gLoadProfile(const std::string& file, const ModemSettings& base);
// The card's lock and tries from file onto card; false when the file keeps none.
bool gLoadCard(const std::string& file, SimCard& card);
// Replaces the file as a whole, so a crash leaves the old profile or the new one.
bool gSaveProfile(const std::string& file, const ModemSettings& profile, const SimCard& card);
