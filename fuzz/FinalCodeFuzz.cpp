// The final-code reader over any line: a code is OK or a refusal in the modem's words, a
// +CME ERROR number is in its range, and only one or two digits make a numeric code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "serial/FinalCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const std::optional<FinalCode> code = gVerboseFinal(line)) {
        KX_FUZZ_CHECK(code->Code == Ok || code->Code == ModemError);
        KX_FUZZ_CHECK(code->Words == line);
        KX_FUZZ_CHECK(code->CmeError >= -1 && code->CmeError < 100000);
        KX_FUZZ_CHECK(code->Code != Ok || line == "OK");
    }
    if (const std::optional<FinalCode> code = gNumericFinal(line)) {
        KX_FUZZ_CHECK(!line.empty() && line.size() <= 2);
        KX_FUZZ_CHECK(line.find_first_not_of("0123456789") == std::string_view::npos);
        KX_FUZZ_CHECK(gVerboseFinal(code->Words).has_value());
    }
    if (gIsErrorInWords(line)) {
        KX_FUZZ_CHECK(gVerboseFinal(line).has_value());
    }
    return 0;
}
