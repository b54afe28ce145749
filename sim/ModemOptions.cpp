#include "sim/ModemOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>

#include "engine/CallNumber.h"
#include "engine/PinRows.h"

namespace {

using Target = ModemArgumentTarget;

bool Whole(const std::string& text, uint32_t& value, uint32_t max = std::numeric_limits<int>::max()) {
    uint32_t n = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, n);
    if (text.empty() || error != std::errc() || at != end || n > max) return false;
    value = n;
    return true;
}

bool Share(const std::string& text, double& value) {
    double n = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, n);
    if (text.empty() || error != std::errc() || at != end || n < 0 || n > 1) return false;
    value = n;
    return true;
}

// A line end would make two lines of one.
bool OneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

std::vector<std::string> CommaList(const std::string& text) {
    std::vector<std::string> items;
    for (size_t at = 0; at <= text.size();) {
        const size_t comma = std::min(text.find(',', at), text.size());
        if (comma > at) items.push_back(text.substr(at, comma - at));
        at = comma + 1;
    }
    return items;
}

template <typename Value> bool OneOf(const std::map<std::string, Value>& names, const std::string& text, Value& into) {
    const auto found = names.find(text);
    if (found == names.end()) return false;
    into = found->second;
    return true;
}

constexpr uint32_t LongestWaitMs = 600000;

std::vector<ModemOption> Rows() {
    return {
        {.Name = "--com", .Argument = "LIST",
         .Help = "COM numbers of the links in the ports folder, as in 1-64 or 3,5-8\n"
                 "(default 1); the options after it are for these modems alone, those\n"
                 "before the first --com for every modem"},
        {.Name = "--speed", .Argument = "BPS", .Help = "interface speed (default 115200; 0 = autobaud)",
         .Refusal = "--speed needs one of " + gInterfaceSpeedList(", "),
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.Speed) && gIsInterfaceSpeed(t.Options.Speed);
         }},
        {.Name = "--mismatch", .Argument = "MODE", .Help = "at another speed: silent or garbage (default garbage)",
         .Refusal = "--mismatch needs silent or garbage",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return OneOf<MismatchMode>({{"silent", MismatchMode::Silent}, {"garbage", MismatchMode::Garbage}}, v,
                                        t.Options.Mismatch);
         }},
        {.Name = "--profile", .Argument = "FILE", .Help = "keeps the profile stored by AT&W across runs",
         .Refusal = "--profile needs a file",
         .Set = [](const std::string& v, Target& t, std::string&) {
             t.Options.ProfileFile = v;
             return true;
         },
         .OneModem = true},
        {.Name = "--no-sim", .Help = "no SIM card: ATS0=... answers ERROR, AT+CPIN? +CME ERROR: 10",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.NoSim = true; }},
        {.Name = "--sim", .Argument = "STATE",
         .Help = "the SIM card: ready, pin or puk (needs its PIN or PUK; default ready)",
         .Refusal = "--sim needs ready, pin or puk",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return OneOf<SimState>(
                 {{"ready", SimState::Ready}, {"pin", SimState::PinNeeded}, {"puk", SimState::PukNeeded}}, v,
                 t.Options.Sim);
         }},
        {.Name = "--pin", .Argument = "CODE",
         .Help = "the card's PIN, 4-8 digits (default 0000); the card asks for it\n"
                 "unless --sim says otherwise: three wrong tries and it wants its PUK.\n"
                 "With --profile the card keeps its PIN request and tries across runs",
         .Refusal = "--pin needs 4 to 8 digits",
         .Set = [](const std::string& v, Target& t, std::string&) { return gIsPinCode(t.Options.Pin = v); }},
        {.Name = "--lock-fixed",
         .Help = "the card's PIN request cannot be changed: AT+CLCK=\"SC\",0|1 answers ERROR",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.LockFixed = true; }},
        {.Name = "--signal", .Argument = "N", .Help = "AT+CSQ level: 0-31 (-113 + 2N dBm) or 99 unknown (default 17)",
         .Refusal = "--signal needs 0 to 31, or 99",
         .Set = [](const std::string& v, Target& t, std::string&) {
             uint32_t n = 0;
             if (!Whole(v, n, 99) || (n > 31 && n != 99)) return false;
             t.Options.Signal = static_cast<int>(n);
             return true;
         }},
        {.Name = "--signal-walk",
         .Help = "the level wanders a step at a time from --signal after each AT+CSQ,\n"
                 "with short runs of 99, as a moved antenna's does (repeatable with --seed)",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.SignalWalk = true; }},
        {.Name = "--csq", .Argument = "FAULT", .Help = "AT+CSQ answers ERROR (error) or a line without a level (garbage)",
         .Refusal = "--csq needs error or garbage",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return OneOf<SignalFault>({{"error", SignalFault::Error}, {"garbage", SignalFault::Garbage}}, v,
                                       t.Options.CsqFault);
         }},
        {.Name = "--registration", .Argument = "R", .Help = "home, roaming, searching, denied or none (default home)",
         .Refusal = "--registration needs home, roaming, searching, denied or none",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return OneOf<Registration>({{"home", Registration::Home},
                                         {"roaming", Registration::Roaming},
                                         {"searching", Registration::Searching},
                                         {"denied", Registration::Denied},
                                         {"none", Registration::NotRegistered}},
                                        v, t.Options.Network);
         }},
        {.Name = "--imei", .Argument = "DIGITS", .Help = "the IMEI, 15 digits (default: one made from the COM number)",
         .Refusal = "--imei needs 15 digits",
         .Set = [](const std::string& v, Target& t, std::string&) {
             t.Options.Imei = v;
             return v.size() == 15 && v.find_first_not_of("0123456789") == std::string::npos;
         }},
        {.Name = "--maker", .Argument = "TEXT",
         .Help = "what AT+CGMI answers (default Cinterion); any bytes but CR and LF,\n"
                 "as in $'=1+1' or $'MC\\e[2J'",
         .Refusal = "--maker needs a text without line ends",
         .Set = [](const std::string& v, Target& t, std::string&) { return OneLine(t.Options.Maker = v); }},
        {.Name = "--model", .Argument = "TEXT", .Help = "what AT+CGMM answers (default MC52i), likewise",
         .Refusal = "--model needs a text without line ends",
         .Set = [](const std::string& v, Target& t, std::string&) { return OneLine(t.Options.Model = v); }},
        {.Name = "--delay", .Argument = "MS", .Help = "latency before each result code",
         .Refusal = "--delay needs milliseconds (at most 60000)",
         .Set = [](const std::string& v, Target& t, std::string&) { return Whole(v, t.Options.DelayMs, 60000); }},
        {.Name = "--split", .Help = "echo and replies in random pieces with short gaps",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Split = true; }},
        {.Name = "--seed", .Argument = "N", .Help = "makes --split, garbage, --flood and --signal-walk repeatable",
         .Refusal = "--seed needs a number",
         .Set = [](const std::string& v, Target& t, std::string&) {
             uint32_t n = 0;
             if (!Whole(v, n, std::numeric_limits<uint32_t>::max())) return false;
             t.Options.Seed = n;
             return true;
         }},
        {.Name = "--silent", .Help = "never answers",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Silent = true; }},
        {.Name = "--hangup-after", .Argument = "N", .Help = "closes the line after N command lines",
         .Refusal = "--hangup-after needs a number of 1 or more",
         .Set = [](const std::string& v, Target& t, std::string&) {
             uint32_t n = 0;
             if (!Whole(v, n) || n < 1) return false;
             t.Options.HangupAfter = static_cast<int>(n);
             return true;
         }},
        {.Name = "--noise", .Help = "an unsolicited RING when the other side first speaks at its speed",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Noise = true; }},
        {.Name = "--flood", .Help = "endless bytes without line ends after the first command",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Flood = true; }},
        {.Name = "--answer", .Argument = "CMD=TEXT",
         .Help = "answers the command line CMD with TEXT after the echo, word for\n"
                 "word; \\r, \\n, \\\\ and \\xHH as in C, an = in CMD as \\x3D (repeatable)",
         .Refusal = "--answer needs COMMAND=REPLY",
         .Set = [](const std::string& v, Target& t, std::string& why) {
             ScriptedAnswer answer;
             why = gParseScriptedAnswer(v, answer);
             if (why.empty()) t.Options.Answers.push_back(answer);
             return why.empty();
         }},
        {.Name = "--transcript", .Argument = "FILE", .Help = "appends every byte in and out, with time and speeds",
         .Refusal = "--transcript needs a file",
         .Set = [](const std::string& v, Target& t, std::string&) {
             t.Options.TranscriptFile = v;
             return true;
         },
         .OneModem = true},

        {.Heading = "Calls: the modems of one process are on one network and can call each other (ATD).",
         .Name = "--number", .Argument = "DIGITS",
         .Help = "its number: 3 to 20 digits, a leading + allowed (default: +0 and the\n"
                 "COM number in three digits or more, as +0007 for COM7: no country\n"
                 "code begins with 0, so no real subscriber has such a number)",
         .Refusal = "--number needs 3 to 20 digits, a leading + allowed",
         .Set = [](const std::string& v, Target& t, std::string&) { return gIsCallNumber(t.Options.Number = v); },
         .OneModem = true},
        {.Name = "--busy", .Help = "its callers hear BUSY (NO CARRIER below ATX3)",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.AlwaysBusy = true; }},
        {.Name = "--no-network", .Help = "not registered (as --registration none): its calls end in NO CARRIER",
         .Set = [](const std::string&, Target& t, std::string&) {
             t.Options.Network = Registration::NotRegistered;
             return true;
         }},
        {.Name = "--bearer", .Argument = "BPS",
         .Help = "the data rate of its calls: 2400, 4800, 9600 or 14400 (default 9600)",
         .Refusal = "--bearer needs 2400, 4800, 9600 or 14400",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.Bearer) && gConnectCode(1, t.Options.Bearer).has_value();
         }},
        {.Name = "--corrupt", .Argument = "RATE",
         .Help = "bit errors on its calls' link, a share of the bits (0 to 1, as 1e-3)",
         .Refusal = "--corrupt needs a share of the bits, 0 to 1",
         .Set = [](const std::string& v, Target& t, std::string&) { return Share(v, t.Options.CorruptRate); }},
        {.Name = "--drop-call-after", .Argument = "MS", .Help = "the network drops its calls MS milliseconds after CONNECT",
         .Refusal = "--drop-call-after needs milliseconds",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.DropCallAfterMs) && t.Options.DropCallAfterMs >= 1;
         }},
        {.Name = "--no-data", .Help = "its SIM card has no data service (CSD): its calls fail with cause 57,\n"
                                      "calls to it with cause 88",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.NoDataService = true; }},
        {.Name = "--data-as-voice",
         .Help = "data calls to it arrive as voice calls, as on a single-number tariff:\n"
                 "+CRING: VOICE under AT+CRC=1, and neither S0 nor ATA answers them",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.DataAsVoice = true; }},
        {.Name = "--network-bearers", .Argument = "LIST",
         .Help = "the bearers (AT+CBST speeds) its network carries, as 71 or 7,71\n"
                 "(default every one); a call with another fails with cause 65",
         .Refusal = "--network-bearers needs AT+CBST speeds, comma-separated: " + gBearerServiceList(", "),
         .Set = [](const std::string& v, Target& t, std::string&) {
             std::vector<int> bearers;
             for (const auto& item : CommaList(v)) {
                 uint32_t n = 0;
                 if (!Whole(item, n, 255) || !gIsBearerService(static_cast<int>(n))) return false;
                 bearers.push_back(static_cast<int>(n));
             }
             t.Options.NetworkBearers = bearers;
             return !bearers.empty();
         }},
        {.Name = "--ceer-data",
         .Help = "AT+CEER tells a data call's cause too, as other families do; by\n"
                 "default it answers +CEER: 0,0,0 after one, as the MC55 does",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.CeerForData = true; }},
        {.Name = "--time-scale", .Argument = "N",
         .Help = "rings (first after 2 s, then every 5 s), S7, the S12 guard times of\n"
                 "+++ and the 3 s restart of AT+CFUN=1,1 go N times faster (default 1)",
         .Refusal = "--time-scale needs 1 to 1000",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.TimeScale, 1000) && t.Options.TimeScale >= 1;
         }},
        {.Name = "--state", .Argument = "FILE",
         .Help = "keeps the modems' state in FILE as JSON, one modem a line: COM number,\n"
                 "number, call (on-hook, dialing, ringing, online, command), rings, speed,\n"
                 "cause (0 none)",
         .Refusal = "--state needs a file",
         .Set = [](const std::string& v, Target& t, std::string&) {
             t.Options.StateFileName = v;
             return true;
         }},
        {.Name = "--help", .Alias = "-h", .Help = "this text",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Help = true; }},

        {.Heading = "What real modems do beyond the textbook:", .Name = "--boot-ms", .Argument = "MS",
         .Help = "deaf for MS after the other side first speaks, then sends the\n"
                 "start-up lines (not under autobaud)",
         .Refusal = "--boot-ms needs milliseconds (at most 600000)",
         .Set = [](const std::string& v, Target& t, std::string&) {
             RealBehaviour& real = t.Options.Real;
             if (real.StartLines.empty()) real.StartLines = {"^SYSSTART"};
             return Whole(v, real.BootMs, LongestWaitMs);
         }},
        {.Name = "--start-lines", .Argument = "LIST",
         .Help = "the start-up lines, comma-separated (default ^SYSSTART; a SIM800 sends\n"
                 "RDY,Call Ready,SMS Ready)",
         .Refusal = "--start-lines needs lines without line ends, comma-separated",
         .Set = [](const std::string& v, Target& t, std::string&) {
             t.Options.Real.StartLines = CommaList(v);
             return OneLine(v) && !t.Options.Real.StartLines.empty();
         }},
        {.Name = "--urc", .Argument = "TEXT",
         .Help = "a line sent unasked while every --urc-every N-th command runs (default\n"
                 "every one), just before its result",
         .Refusal = "--urc needs a text without line ends",
         .Set = [](const std::string& v, Target& t, std::string&) {
             RealBehaviour& real = t.Options.Real;
             if (real.UrcEvery == 0) real.UrcEvery = 1;
             real.Urc = v;
             return !v.empty() && OneLine(v);
         }},
        {.Name = "--urc-every", .Argument = "N", .Help = "see --urc",
         .Refusal = "--urc-every needs a number of 1 to 1000",
         .Set = [](const std::string& v, Target& t, std::string&) {
             uint32_t n = 0;
             if (!Whole(v, n, 1000) || n == 0) return false;
             t.Options.Real.UrcEvery = static_cast<int>(n);
             return true;
         }},
        {.Name = "--urc-break",
         .Help = "the --urc line as a due URC goes while a command runs: a BREAK (NUL) at\n"
                 "once, the line after the result",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Real.UrcBreak = true; }},
        {.Name = "--cmee", .Argument = "N",
         .Help = "errors as +CMEE=N gives them, kept by AT&F: 0 ERROR, 1 +CME ERROR: n,\n"
                 "2 +CME ERROR: text",
         .Refusal = "--cmee needs 0, 1 or 2",
         .Set = [](const std::string& v, Target& t, std::string&) {
             uint32_t n = 0;
             if (!Whole(v, n, 2)) return false;
             t.Options.Real.Cmee = static_cast<int>(n);
             return true;
         }},
        {.Name = "--attach-ms", .Argument = "MS",
         .Help = "ATS0=n (n > 0) makes a GPRS attach that takes MS before its result",
         .Refusal = "--attach-ms needs milliseconds (at most 600000)",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.Real.AttachMs, LongestWaitMs);
         }},
        {.Name = "--attach-fails",
         .Help = "that attach fails: ATS0=n answers an error, and S0 is set all the same",
         .Set = [](const std::string&, Target& t, std::string&) { return t.Options.Real.AttachFails = true; }},
        {.Name = "--ipr-settle-ms", .Argument = "MS", .Help = "bytes within MS after the result of AT+IPR are lost",
         .Refusal = "--ipr-settle-ms needs milliseconds (at most 600000)",
         .Set = [](const std::string& v, Target& t, std::string&) {
             return Whole(v, t.Options.Real.IprSettleMs, LongestWaitMs);
         }},
    };
}

}  // namespace

const std::vector<ModemOption>& gModemOptions() {
    static const std::vector<ModemOption> rows = Rows();
    return rows;
}
