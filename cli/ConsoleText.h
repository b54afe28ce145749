#pragma once
// The one way the console front end prints: every row, message, table and usage text
// goes through here. A pipe or a file gets the UTF-8 bytes exactly as given (no CR put
// before LF); a console window gets the characters themselves, whatever its code page.
// Callers that write from several threads keep their own lock around a whole row.

#include <cstdio>
#include <string>

void gWriteConsoleText(std::FILE* to, const std::string& utf8);

// True when `to` is a console or terminal that a person watches, not a pipe or a file:
// where a line may be redrawn in place with "\r".
bool gIsConsole(std::FILE* to);
