#pragma once
// The short help in Russian that F1 shows in every window, as plain text with "\n" line
// breaks: there is no platform help viewer to open.

extern const char* const HelpText;
extern const char* const HelpCaption;
