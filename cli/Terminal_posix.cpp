#include "cli/Terminal.h"

#include <unistd.h>

bool gIsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

std::tm gLocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}
