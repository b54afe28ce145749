#pragma once
// The lines a modem sends without being asked, as the reader sets them aside.

#include <string>

// What such a line means to the operator.
enum class Unasked {
    Quiet,         // start-up, network and call announcements: nothing to tell
    Undervoltage,  // the supply is too low: the modem may switch off
    Shutdown,      // the modem is switching off
};

struct UnaskedLine {
    Unasked Kind = Unasked::Quiet;
    std::string Text;
};
