#include "sim/ModemArguments.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <map>

const char* const ModemUsage =
    "Usage: kestrelix-modem [options]\n"
    "A virtual AT modem on a pseudo-terminal, reachable as COMn.\n"
    "  --com N            COM number of the link in the ports folder (default 1)\n"
    "  --speed BPS        interface speed (default 115200; 0 = autobaud)\n"
    "  --mismatch MODE    at another speed: silent or garbage (default garbage)\n"
    "  --profile FILE     keeps the profile stored by AT&W across runs\n"
    "  --no-sim           no SIM card: ATS0=... answers ERROR, AT+CPIN? +CME ERROR: 10\n"
    "  --sim STATE        the SIM card: ready, pin or puk (needs its PIN or PUK; default ready)\n"
    "  --pin CODE         the card's PIN, 4-8 digits (default 0000); the card asks for it:\n"
    "                     three wrong tries and it wants its PUK. With --profile the card\n"
    "                     keeps its PIN request and tries across runs\n"
    "  --signal N         AT+CSQ level: 0-31 (-113 + 2N dBm) or 99 unknown (default 17)\n"
    "  --registration R   home, roaming, searching, denied or none (default home)\n"
    "  --imei DIGITS      the IMEI, 15 digits (default: one made from the COM number)\n"
    "  --delay MS         latency before each result code\n"
    "  --split            echo and replies in random pieces with short gaps\n"
    "  --seed N           makes --split, garbage and --flood repeatable\n"
    "  --silent           never answers\n"
    "  --hangup-after N   closes the line after N command lines\n"
    "  --noise            an unsolicited RING when the other side first speaks at its speed\n"
    "  --flood            endless bytes without line ends after the first command\n"
    "  --transcript FILE  appends every byte in and out, with time and speeds\n"
    "  --help             this text\n";

namespace {

bool ToNumber(const std::string& text, uint32_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

}  // namespace

std::string gParseModemArguments(const std::vector<std::string>& args, VirtualModemOptions& o,
                                 bool& help) {
    help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        auto number = [&](uint32_t& into, uint32_t max = std::numeric_limits<int>::max()) {
            std::string text;
            return value(text) && ToNumber(text, into) && into <= max;
        };
        uint32_t n = 0;
        std::string text;
        if (name == "--help" || name == "-h") {
            help = true;
        } else if (name == "--com") {
            if (!number(n) || n < 1) return "--com needs a number of 1 or more";
            o.ComNumber = static_cast<int>(n);
        } else if (name == "--speed") {
            if (!number(o.Speed) || !gIsInterfaceSpeed(o.Speed))
                return "--speed needs one of " + gInterfaceSpeedList(", ");
        } else if (name == "--mismatch") {
            if (!value(text) || (text != "silent" && text != "garbage"))
                return "--mismatch needs silent or garbage";
            o.Mismatch = text == "silent" ? MismatchMode::Silent : MismatchMode::Garbage;
        } else if (name == "--profile") {
            if (!value(o.ProfileFile)) return "--profile needs a file";
        } else if (name == "--no-sim") {
            o.NoSim = true;
        } else if (name == "--sim") {
            if (!value(text) || (text != "ready" && text != "pin" && text != "puk"))
                return "--sim needs ready, pin or puk";
            o.Sim = text == "ready" ? SimState::Ready : text == "pin" ? SimState::PinNeeded : SimState::PukNeeded;
        } else if (name == "--pin") {
            if (!value(o.Pin) || o.Pin.size() < 4 || o.Pin.size() > 8 ||
                o.Pin.find_first_not_of("0123456789") != std::string::npos)
                return "--pin needs 4 to 8 digits";
            o.Sim = SimState::PinNeeded;
        } else if (name == "--signal") {
            if (!number(n, 99) || (n > 31 && n != 99)) return "--signal needs 0 to 31, or 99";
            o.Signal = static_cast<int>(n);
        } else if (name == "--registration") {
            const std::map<std::string, Registration> states = {
                {"home", Registration::Home}, {"roaming", Registration::Roaming},
                {"searching", Registration::Searching}, {"denied", Registration::Denied},
                {"none", Registration::NotRegistered}};
            const auto found = value(text) ? states.find(text) : states.end();
            if (found == states.end()) return "--registration needs home, roaming, searching, denied or none";
            o.Network = found->second;
        } else if (name == "--imei") {
            if (!value(o.Imei) || o.Imei.size() != 15 ||
                o.Imei.find_first_not_of("0123456789") != std::string::npos)
                return "--imei needs 15 digits";
        } else if (name == "--delay") {
            if (!number(o.DelayMs, 60000)) return "--delay needs milliseconds (at most 60000)";
        } else if (name == "--split") {
            o.Split = true;
        } else if (name == "--seed") {
            if (!number(n, std::numeric_limits<uint32_t>::max())) return "--seed needs a number";
            o.Seed = n;
        } else if (name == "--silent") {
            o.Silent = true;
        } else if (name == "--hangup-after") {
            if (!number(n) || n < 1) return "--hangup-after needs a number of 1 or more";
            o.HangupAfter = static_cast<int>(n);
        } else if (name == "--noise") {
            o.Noise = true;
        } else if (name == "--flood") {
            o.Flood = true;
        } else if (name == "--transcript") {
            if (!value(o.TranscriptFile)) return "--transcript needs a file";
        } else {
            return "unknown option " + name;
        }
    }
    return {};
}
