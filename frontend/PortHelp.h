#pragma once
// The end of the help's list of what to check when the modem does not answer: how this
// platform names the COM port and lets a user open it. It follows "• номер СОМ-порта".

#include <string>

std::string gPortHelp();
