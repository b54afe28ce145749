#pragma once
// The SIM card in the virtual modem: its PIN, whether it asks for it at power-on (the
// lock), whether it was given since, and the tries left before it wants its PUK. The
// PIN commands change it; ATZ and &F do not, since a card keeps its own state.

#include <string>
#include <string_view>
#include <vector>

enum class SimState { Ready, PinNeeded, PukNeeded };

struct SimCard {
    static constexpr int MaxTries = 3;

    std::string Pin = "0000";
    bool Lock = false;      // asks for the PIN at power-on
    bool PinGiven = false;  // since power-on
    int Tries = MaxTries;   // wrong PINs still allowed; none left: it wants the PUK
    // Some operators' cards keep their request whatever is asked: +CLCK=... answers ERROR.
    bool LockFixed = false;

    SimState State() const;
    bool operator==(const SimCard&) const = default;
};

// A card that powers up in state, with pin as its PIN.
SimCard gInsertCard(SimState state, std::string pin);

struct SimOutcome {
    bool Ok = true;
    int CmeError = -1;
    std::vector<std::string> Information;
};

// +CPIN, +CLCK and +CPINR, name without the '+', args what follows the name up to the
// next ';' or the end ("?", "=\"1234\"", "=\"SC\",2"). False when name is none of them.
bool gRunSimCommand(std::string_view name, std::string_view args, bool present, SimCard& card, SimOutcome& out);

// The card's lasting state as one line of text (lock and tries), and back onto card;
// false when line is not such a line.
std::string gCardLine(const SimCard& card);
bool gReadCardLine(std::string_view line, SimCard& card);
