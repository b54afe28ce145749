// The virtual modem's command line over any arguments (NUL bytes separate them): it either
// refuses with a reason or gives a modem whose settings are in their ranges.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzArguments.h"
#include "fuzz/FuzzCheck.h"
#include "sim/ModemArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VirtualModemOptions options;
    bool help = false;
    const std::string error = gParseModemArguments(gFuzzArguments(data, size), options, help);
    if (!error.empty() || help) return 0;
    KX_FUZZ_CHECK((options.Signal >= 0 && options.Signal <= 31) || options.Signal == 99);
    KX_FUZZ_CHECK(options.CorruptRate >= 0 && options.CorruptRate <= 1);
    KX_FUZZ_CHECK(options.TimeScale >= 1);
    return 0;
}
