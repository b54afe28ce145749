#include "cli/ProgramArguments.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <optional>

#include "os/Utf16_win32.h"

// argv holds the arguments in the ANSI code page, which loses every character outside
// it; the wide command line holds them all.
ProgramArguments gProgramArguments(int, char**) {
    ProgramArguments arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        arguments.Error = "cannot read the command line (error " + std::to_string(GetLastError()) + ")";
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        const std::optional<std::string> utf8 = gFromUtf16Exactly(wide[i], wcslen(wide[i]));
        if (!utf8) {
            arguments.Error = "argument " + std::to_string(i) +
                              " is not valid Unicode: it holds half of a UTF-16 surrogate pair";
            break;
        }
        arguments.Values.push_back(*utf8);
    }
    LocalFree(wide);
    return arguments;
}
