// The console's command line over any arguments (NUL bytes separate them): it either
// refuses with a reason or gives options the runs can use.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ParsedOptions parsed = gParseCliOptions(gFuzzArguments(data, size));
    if (!parsed.Error.empty()) return 0;
    const CliOptions& o = parsed.Options;
    KX_FUZZ_CHECK(!o.ComNumbers.empty());
    for (const int com : o.ComNumbers) KX_FUZZ_CHECK(com >= 1);
    KX_FUZZ_CHECK(o.ModelIndex >= 0 && o.SpeedIndex >= 0 && o.Place >= 0);
    KX_FUZZ_CHECK(o.SignalSeconds >= 0 && o.AnswerCom >= 0);
    KX_FUZZ_CHECK(!o.Signal || o.ComNumbers.size() == 1);
    return 0;
}
