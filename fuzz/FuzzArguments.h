#pragma once
// A command line out of fuzz input: NUL bytes separate the arguments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> gFuzzArguments(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() <= 64; ++i) {
        if (data[i] == '\0') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    return args;
}
