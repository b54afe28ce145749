#include "cli/SecretInput.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "cli/ConsoleText.h"

bool gReadSecretLine(const std::string& prompt, std::string& line) {
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    gWriteConsoleText(stderr, prompt);
    line.clear();
    int c = 0;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    // The terminal echoed the line end (ECHONL); from a pipe nothing was echoed at all.
    else std::fputc('\n', stderr);
    return c != EOF || !line.empty();
}
