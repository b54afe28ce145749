#pragma once
// Text to a console stream: a pipe or a file gets the UTF-8 bytes exactly as given, a
// console window gets characters it shows right.

#include <cstdio>
#include <string>

void gWriteConsoleText(std::FILE* to, const std::string& utf8);

// True when to is a terminal or a console window, where a line can be redrawn in place.
bool gIsConsole(std::FILE* to);
