#pragma once
// The narrow view of the settings store that the engine needs.

#include <cstdint>
#include <string>

inline constexpr const char* CommPortSection = "Settings\\CommPort";

class IntSettings {
public:
    virtual ~IntSettings() = default;
    // The stored value, or def when it cannot be read for any reason.
    virtual int32_t ReadInt(const std::string& section, const std::string& name, int32_t def) = 0;
    // Nonzero when stored.
    virtual int WriteInt(const std::string& section, const std::string& name, int32_t value) = 0;
};
