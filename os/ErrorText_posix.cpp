#include "os/ErrorText.h"

#include <climits>
#include <cstring>

std::string gGetErrorText(uint32_t code) {
    // strerror invents "Unknown error N" for codes it does not know; those have no text.
    if (code > INT_MAX || !strerrordesc_np(static_cast<int>(code))) return {};
    char buffer[256];
    return strerror_r(static_cast<int>(code), buffer, sizeof buffer);
}
