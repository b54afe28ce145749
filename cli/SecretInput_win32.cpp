#include "cli/SecretInput.h"

#include <windows.h>

#include <cstdio>

#include "cli/ConsoleText.h"

bool gReadSecretLine(const std::string& prompt, std::string& line) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool console = GetConsoleMode(input, &saved) != 0;
    if (console) SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    gWriteConsoleText(stderr, prompt);
    line.clear();
    int c = 0;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (console) SetConsoleMode(input, saved);
    // Nothing was echoed, not even the operator's Enter.
    std::fputc('\n', stderr);
    return c != EOF || !line.empty();
}
