#include "engine/TestBlock.h"

// xorshift32: fast, and any seed but 0 gives a long sequence.
std::string gTestBlock(uint32_t seed, size_t size) {
    uint32_t state = seed ? seed : 0x9E3779B9u;
    std::string block(size, '\0');
    for (char& byte : block) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return block;
}
