#include "sim/RealBehaviour.h"

#include <algorithm>
#include <charconv>

const char* const RealUsage =
    "What real modems do beyond the textbook:\n"
    "  --boot-ms MS       deaf for MS after the other side first speaks, then sends the\n"
    "                     start-up lines (not under autobaud)\n"
    "  --start-lines LIST the start-up lines, comma-separated (default ^SYSSTART; a SIM800 sends\n"
    "                     RDY,Call Ready,SMS Ready)\n"
    "  --urc TEXT         a line sent unasked while every --urc-every N-th command runs (default\n"
    "                     every one), just before its result\n"
    "  --urc-every N      see --urc\n"
    "  --urc-break        the --urc line as a due URC goes while a command runs: a BREAK (NUL) at\n"
    "                     once, the line after the result\n"
    "  --cmee N           errors as +CMEE=N gives them, kept by AT&F: 0 ERROR, 1 +CME ERROR: n,\n"
    "                     2 +CME ERROR: text\n"
    "  --attach-ms MS     ATS0=n (n > 0) makes a GPRS attach that takes MS before its result\n"
    "  --attach-fails     that attach fails: ATS0=n answers an error, and S0 is set all the same\n"
    "  --ipr-settle-ms MS bytes within MS after the result of AT+IPR are lost\n";

namespace {

bool ToNumber(const std::string& text, uint32_t& value, uint32_t max) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value <= max;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    for (size_t at = 0; at <= text.size();) {
        const size_t comma = std::min(text.find(',', at), text.size());
        if (comma > at) items.push_back(text.substr(at, comma - at));
        at = comma + 1;
    }
    return items;
}

}  // namespace

bool gParseRealOption(const std::string& name, const std::function<bool(std::string&)>& value, RealBehaviour& real,
                      std::string& error) {
    std::string text;
    uint32_t n = 0;
    auto milliseconds = [&](uint32_t& into) {
        if (!value(text) || !ToNumber(text, into, 600000)) error = name + " needs milliseconds (at most 600000)";
    };
    if (name == "--boot-ms") {
        milliseconds(real.BootMs);
        if (real.StartLines.empty()) real.StartLines = {"^SYSSTART"};
    } else if (name == "--start-lines") {
        if (!value(text) || text.find_first_of("\r\n") != std::string::npos || SplitList(text).empty())
            error = "--start-lines needs lines without line ends, comma-separated";
        else
            real.StartLines = SplitList(text);
    } else if (name == "--urc") {
        if (!value(real.Urc) || real.Urc.empty() || real.Urc.find_first_of("\r\n") != std::string::npos)
            error = "--urc needs a text without line ends";
        if (real.UrcEvery == 0) real.UrcEvery = 1;
    } else if (name == "--urc-every") {
        if (!value(text) || !ToNumber(text, n, 1000) || n == 0) error = "--urc-every needs a number of 1 to 1000";
        real.UrcEvery = static_cast<int>(n);
    } else if (name == "--urc-break") {
        real.UrcBreak = true;
    } else if (name == "--cmee") {
        if (!value(text) || !ToNumber(text, n, 2)) error = "--cmee needs 0, 1 or 2";
        real.Cmee = static_cast<int>(n);
    } else if (name == "--attach-ms") {
        milliseconds(real.AttachMs);
    } else if (name == "--attach-fails") {
        real.AttachFails = true;
    } else if (name == "--ipr-settle-ms") {
        milliseconds(real.IprSettleMs);
    } else {
        return false;
    }
    return true;
}

std::string gFormatUnaskedText(std::string_view text, const ModemSettings& s) {
    const std::string crlf{static_cast<char>(s.LineEnd), static_cast<char>(s.LineFeed)};
    return (s.Verbose ? crlf : std::string()) + std::string(text) + crlf;
}

std::string gCmeText(int code) {
    switch (code) {
        case 3: return "operation not allowed";
        case 4: return "operation not supported";
        case 10: return "SIM not inserted";
        case 11: return "SIM PIN required";
        case 12: return "SIM PUK required";
        case 16: return "incorrect password";
        case 30: return "no network service";
        default: return "unknown";
    }
}

bool gStartsAttach(std::string_view body) {
    for (size_t at = body.find_first_of("Ss"); at != std::string_view::npos; at = body.find_first_of("Ss", at + 1)) {
        if (body.substr(at + 1, 2) != "0=") continue;
        const std::string_view value = body.substr(at + 3);
        uint32_t n = 0;
        std::from_chars(value.data(), value.data() + value.size(), n);
        return n > 0;
    }
    return false;
}
