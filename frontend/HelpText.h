#pragma once
// The short help in Russian that F1 shows in every window, as plain text with "\n" line
// breaks: there is no platform help viewer to open. What it says of a modem that does not
// answer is the platform's own.

#include <string>

std::string gHelpText();
extern const char* const HelpCaption;
