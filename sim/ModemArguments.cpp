#include "sim/ModemArguments.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <map>

#include "engine/CallNumber.h"
#include "engine/PinRows.h"
#include "frontend/ComList.h"

const char* const ModemUsage =
    "Usage: kestrelix-modem [options] [--com LIST [options]]...\n"
    "Virtual AT modems on pseudo-terminals, each reachable as COMn and each a modem of its own.\n"
    "  --com LIST         COM numbers of the links in the ports folder, as in 1-64 or 3,5-8\n"
    "                     (default 1); the options after it are for these modems alone, those\n"
    "                     before the first --com for every modem\n"
    "  --speed BPS        interface speed (default 115200; 0 = autobaud)\n"
    "  --mismatch MODE    at another speed: silent or garbage (default garbage)\n"
    "  --profile FILE     keeps the profile stored by AT&W across runs\n"
    "  --no-sim           no SIM card: ATS0=... answers ERROR, AT+CPIN? +CME ERROR: 10\n"
    "  --sim STATE        the SIM card: ready, pin or puk (needs its PIN or PUK; default ready)\n"
    "  --pin CODE         the card's PIN, 4-8 digits (default 0000); the card asks for it\n"
    "                     unless --sim says otherwise: three wrong tries and it wants its PUK.\n"
    "                     With --profile the card keeps its PIN request and tries across runs\n"
    "  --lock-fixed       the card's PIN request cannot be changed: AT+CLCK=\"SC\",0|1 answers ERROR\n"
    "  --signal N         AT+CSQ level: 0-31 (-113 + 2N dBm) or 99 unknown (default 17)\n"
    "  --signal-walk      the level wanders a step at a time from --signal after each AT+CSQ,\n"
    "                     with short runs of 99, as a moved antenna's does (repeatable with --seed)\n"
    "  --csq FAULT        AT+CSQ answers ERROR (error) or a line without a level (garbage)\n"
    "  --registration R   home, roaming, searching, denied or none (default home)\n"
    "  --imei DIGITS      the IMEI, 15 digits (default: one made from the COM number)\n"
    "  --maker TEXT       what AT+CGMI answers (default Cinterion); any bytes but CR and LF,\n"
    "                     as in $'=1+1' or $'MC\\e[2J'\n"
    "  --model TEXT       what AT+CGMM answers (default MC52i), likewise\n"
    "  --delay MS         latency before each result code\n"
    "  --split            echo and replies in random pieces with short gaps\n"
    "  --seed N           makes --split, garbage, --flood and --signal-walk repeatable\n"
    "  --silent           never answers\n"
    "  --hangup-after N   closes the line after N command lines\n"
    "  --noise            an unsolicited RING when the other side first speaks at its speed\n"
    "  --flood            endless bytes without line ends after the first command\n"
    "  --answer CMD=TEXT  answers the command line CMD with TEXT after the echo, word for\n"
    "                     word; \\r, \\n, \\\\ and \\xHH as in C, an = in CMD as \\x3D (repeatable)\n"
    "  --transcript FILE  appends every byte in and out, with time and speeds\n"
    "Calls: the modems of one process are on one network and can call each other (ATD).\n"
    "  --number DIGITS    its number: 3 to 20 digits, a leading + allowed (default: +0 and the\n"
    "                     COM number in three digits or more, as +0007 for COM7: no country\n"
    "                     code begins with 0, so no real subscriber has such a number)\n"
    "  --busy             its callers hear BUSY (NO CARRIER below ATX3)\n"
    "  --no-network       not registered (as --registration none): its calls end in NO CARRIER\n"
    "  --bearer BPS       the data rate of its calls: 2400, 4800, 9600 or 14400 (default 9600)\n"
    "  --corrupt RATE     bit errors on its calls' link, a share of the bits (0 to 1, as 1e-3)\n"
    "  --drop-call-after MS  the network drops its calls MS milliseconds after CONNECT\n"
    "  --time-scale N     rings (first after 2 s, then every 5 s), S7, the S12 guard times of\n"
    "                     +++ and the 3 s restart of AT+CFUN=1,1 go N times faster (default 1)\n"
    "  --state FILE       keeps the modems' state in FILE as JSON, one modem a line: COM number,\n"
    "                     number, call (on-hook, dialing, ringing, online, command), rings, speed\n"
    "  --help             this text\n";

namespace {

bool ToNumber(const std::string& text, uint32_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool ToRate(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= 0 && value <= 1;
}

}  // namespace

std::string gParseModemArguments(const std::vector<std::string>& args, VirtualModemOptions& o,
                                 bool& help) {
    help = false;
    bool stateGiven = false;
    bool pinGiven = false;
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
            stateGiven = true;
        } else if (name == "--pin") {
            if (!value(o.Pin) || !gIsPinCode(o.Pin))
                return "--pin needs 4 to 8 digits";
            pinGiven = true;
        } else if (name == "--lock-fixed") {
            o.LockFixed = true;
        } else if (name == "--signal") {
            if (!number(n, 99) || (n > 31 && n != 99)) return "--signal needs 0 to 31, or 99";
            o.Signal = static_cast<int>(n);
        } else if (name == "--signal-walk") {
            o.SignalWalk = true;
        } else if (name == "--csq") {
            if (!value(text) || (text != "error" && text != "garbage")) return "--csq needs error or garbage";
            o.CsqFault = text == "error" ? SignalFault::Error : SignalFault::Garbage;
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
        } else if (name == "--maker" || name == "--model") {
            // A line end would make two information lines of one.
            std::string& into = name == "--maker" ? o.Maker : o.Model;
            if (!value(into) || into.find_first_of("\r\n") != std::string::npos)
                return name + " needs a text without line ends";
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
        } else if (name == "--answer") {
            ScriptedAnswer answer;
            if (!value(text)) return "--answer needs COMMAND=REPLY";
            const std::string wrong = gParseScriptedAnswer(text, answer);
            if (!wrong.empty()) return wrong;
            o.Answers.push_back(answer);
        } else if (name == "--number") {
            if (!value(o.Number) || !gIsCallNumber(o.Number))
                return "--number needs 3 to 20 digits, a leading + allowed";
        } else if (name == "--busy") {
            o.AlwaysBusy = true;
        } else if (name == "--no-network") {
            o.Network = Registration::NotRegistered;
        } else if (name == "--bearer") {
            if (!number(o.Bearer) || !gConnectCode(1, o.Bearer)) return "--bearer needs 2400, 4800, 9600 or 14400";
        } else if (name == "--corrupt") {
            if (!value(text) || !ToRate(text, o.CorruptRate)) return "--corrupt needs a share of the bits, 0 to 1";
        } else if (name == "--drop-call-after") {
            if (!number(o.DropCallAfterMs) || o.DropCallAfterMs < 1) return "--drop-call-after needs milliseconds";
        } else if (name == "--time-scale") {
            if (!number(o.TimeScale, 1000) || o.TimeScale < 1) return "--time-scale needs 1 to 1000";
        } else if (name == "--state") {
            if (!value(o.StateFileName)) return "--state needs a file";
        } else if (name == "--transcript") {
            if (!value(o.TranscriptFile)) return "--transcript needs a file";
        } else {
            std::string error;
            if (!gParseRealOption(name, value, o.Real, error)) return "unknown option " + name;
            if (!error.empty()) return error;
        }
    }
    // A card given a PIN asks for it, whichever of --sim and --pin came first.
    if (pinGiven && !stateGiven) o.Sim = SimState::PinNeeded;
    return {};
}

std::string gParseModemGroups(const std::vector<std::string>& args, std::vector<VirtualModemOptions>& modems,
                              bool& help) {
    modems.clear();
    std::vector<std::string> shared;
    size_t i = 0;
    for (; i < args.size() && args[i] != "--com"; ++i) shared.push_back(args[i]);
    if (i == args.size()) {
        VirtualModemOptions o;
        const std::string error = gParseModemArguments(shared, o, help);
        if (error.empty()) modems.push_back(o);
        return error;
    }
    while (i < args.size()) {
        // args[i] is "--com".
        if (i + 1 == args.size()) return "--com needs " + std::string(ComListAllowed);
        std::vector<int> numbers;
        const std::string wrong = gParseComList(args[i + 1], numbers);
        if (!wrong.empty()) return "bad --com " + args[i + 1] + ": " + wrong + "; --com takes " + ComListAllowed;
        std::vector<std::string> own = shared;
        for (i += 2; i < args.size() && args[i] != "--com"; ++i) own.push_back(args[i]);
        VirtualModemOptions o;
        const std::string error = gParseModemArguments(own, o, help);
        if (!error.empty()) return error;
        // Files are one modem's: several writing one would garble it; a number is one modem's too.
        if (numbers.size() > 1 && (!o.ProfileFile.empty() || !o.TranscriptFile.empty() || !o.Number.empty()))
            return "--profile, --transcript and --number serve one modem; give them after a --com of one number";
        for (const int n : numbers) {
            o.ComNumber = n;
            modems.push_back(o);
        }
    }
    std::map<std::string, int> numbers;
    for (const auto& m : modems) {
        const std::string number = gDialledNumber(m.Number.empty() ? gNumberFor(m.ComNumber) : m.Number);
        const auto [where, added] = numbers.emplace(number, m.ComNumber);
        if (!added)
            return "COM" + std::to_string(where->second) + " and COM" + std::to_string(m.ComNumber) +
                   " would both have number " + number;
    }
    return {};
}
