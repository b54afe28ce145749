#pragma once
// The catalogues shown in the selectors and the record of one configuration step.

#include <array>
#include <cstddef>
#include <cstdint>

struct ModemModel {
    const char* Name;
    // An error to ATS0=n from this model most often means no SIM card or no registration,
    // and its row says so.
    bool SimCardHint;
};

inline constexpr std::array<ModemModel, 6> ModemModels = {{
    {"Siemens TC35i", false},
    {"Siemens MC35i", false},
    {"Cinterion MC52i", true},
    {"Novacom MC52i", true},
    {"Novacom GNS-300RS", false},
    {"Teleofis RX100", false},
}};

// The names alone, as the selectors list them.
inline constexpr std::array<const char*, ModemModels.size()> ModemCatalogue = [] {
    std::array<const char*, ModemModels.size()> names{};
    for (size_t i = 0; i < names.size(); ++i) names[i] = ModemModels[i].Name;
    return names;
}();

inline constexpr std::array<const char*, 10> SpeedTable = {
    "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200",
};

// The order of the modem search: 9600 and 115200 first.
inline constexpr std::array<int32_t, 10> ProbeSpeeds = {
    9600, 115200, 19200, 2400, 1200, 38400, 4800, 14400, 56000, 57600,
};

inline constexpr const char* VerboseOk = "\r\nOK\r\n";
inline constexpr const char* NumericOk = "0\r";

enum StepKind : int32_t { SearchModem = 0, SetPortSpeed = 1, SendCommand = 2 };

struct ConfigStep {
    int32_t Kind = 0;
    // SendCommand: the command, zero-terminated, with its CR. SetPortSpeed: the speed in
    // the first four bytes. SearchModem: all zero.
    char Text[40] = {};
    const char* Expected = nullptr;
    const char* Alternative = nullptr;
    int32_t TimeoutMs = 0;
    int32_t Attempts = 0;
};
