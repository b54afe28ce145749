#include "cli/LocalTime.h"

std::tm gLocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}
