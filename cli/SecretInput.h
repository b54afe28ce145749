#pragma once
// One line read from standard input without its line end, and, when the input is a
// terminal, without echo: for the SIM card's PIN, which must not be seen on screen or
// taken from the command line. prompt goes to standard error once the echo is off, so
// that what the operator types after it is never shown. False at the end of the input.

#include <string>

bool gReadSecretLine(const std::string& prompt, std::string& line);
