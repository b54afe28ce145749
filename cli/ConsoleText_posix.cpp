#include "cli/ConsoleText.h"

#include <unistd.h>

// A terminal takes UTF-8 as it is.
void gWriteConsoleText(std::FILE* to, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), to);
    std::fflush(to);
}

bool gIsConsole(std::FILE* to) { return isatty(fileno(to)) == 1; }
