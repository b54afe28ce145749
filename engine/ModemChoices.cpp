#include "engine/ModemChoices.h"

namespace {

const char* Name(Choice choice) {
    switch (choice) {
    case Choice::Com: return "CommNum";
    case Choice::Model: return "ModemType";
    case Choice::Speed: return "BaudRateInd";
    case Choice::Place: return "IsLocal";
    }
    return "";
}

}  // namespace

ModemChoices gReadStoredChoices(IntSettings& settings) {
    const ModemChoices defaults;
    auto read = [&](Choice choice, int32_t def) { return settings.ReadInt(CommPortSection, Name(choice), def); };
    return {read(Choice::Com, defaults.ComIndex), read(Choice::Model, defaults.ModelIndex),
            read(Choice::Speed, defaults.SpeedIndex), read(Choice::Place, defaults.Place)};
}

void gStoreChoice(IntSettings& settings, Choice choice, int32_t value) {
    settings.WriteInt(CommPortSection, Name(choice), value);
}
