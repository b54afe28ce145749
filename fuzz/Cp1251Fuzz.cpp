// The code page both ways: the modem's bytes through UTF-8 and back are the same bytes
// (the one unassigned byte, 0x98, comes back as "?"), and any UTF-8, well formed or not,
// gives at most one byte a character.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Cp1251.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string expected = bytes;
    for (char& c : expected)
        if (static_cast<uint8_t>(c) == 0x98) c = '?';
    KX_FUZZ_CHECK(gToCp1251(gCp1251ToUtf8(bytes)) == expected);
    const std::string page = gToCp1251(bytes);
    KX_FUZZ_CHECK(page.size() <= bytes.size());
    // What comes back from the page is well formed: it survives a second round trip.
    KX_FUZZ_CHECK(gToCp1251(gCp1251ToUtf8(page)) == page);
    return 0;
}
