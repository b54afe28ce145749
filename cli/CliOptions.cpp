#include "cli/CliOptions.h"

#include <cctype>
#include <charconv>
#include <string>
#include <optional>

#include "engine/CallMessages.h"
#include "engine/CallNumber.h"
#include "engine/ConfigStep.h"
#include "frontend/ComList.h"
#include "frontend/WindowChoices.h"

namespace {

std::optional<int> Number(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end) return std::nullopt;
    return value;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

template <typename Catalogue> std::optional<int> IndexOf(const Catalogue& entries, const std::string& text) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (SameIgnoringCase(entries[i], text)) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<int> ModelFrom(const std::string& text) {
    if (auto index = Number(text)) {
        if (*index >= 0 && *index < static_cast<int>(ModemCatalogue.size())) return index;
        return std::nullopt;
    }
    return IndexOf(ModemCatalogue, text);
}

const std::string ComAllowed = std::string("--com takes ") + ComListAllowed;

}  // namespace

ParsedOptions gParseCliOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    CliOptions& o = parsed.Options;
    bool comGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.Help = true;
            continue;
        }
        if (arg == "--list") {
            o.List = true;
            continue;
        }
        if (arg == "--check") {
            o.Check = true;
            continue;
        }
        if (arg == "--sim-pin") {
            o.SimPin = true;
            continue;
        }
        if (arg == "--no-restart") {
            o.NoRestart = true;
            continue;
        }
        if (arg == "--signal") {
            o.Signal = true;
            // The seconds are optional: a next argument that is no option gives them.
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                const std::optional<int> seconds = Number(args[++i]);
                if (!seconds || *seconds < 1) {
                    parsed.Error = "bad value for --signal: " + args[i];
                    return parsed;
                }
                o.SignalSeconds = *seconds;
            }
            continue;
        }
        if (arg != "--com" && arg != "--model" && arg != "--speed" && arg != "--place" && arg != "--report" &&
            arg != "--call" && arg != "--answer-com" && arg != "--cbst") {
            parsed.Error = "unknown argument: " + arg;
            return parsed;
        }
        if (i + 1 == args.size()) {
            parsed.Error = arg + " needs a value";
            return parsed;
        }
        const std::string& value = args[++i];
        if (arg == "--report") {
            if (value.empty()) {
                parsed.Error = "--report needs a file name";
                return parsed;
            }
            o.ReportFile = value;
            continue;
        }
        if (arg == "--call") {
            // Refused here, before any port opens: the number reaches the modem as it is.
            if (!gIsCallNumber(value)) {
                parsed.Error = CallMsg::BadNumber;
                parsed.ShowUsage = false;
                return parsed;
            }
            o.CallNumber = value;
            continue;
        }
        if (arg == "--answer-com") {
            const std::optional<int> com = Number(value);
            if (!com || *com < 1 || *com > HighestComNumber) {
                parsed.Error = "bad value for --answer-com: " + value + "; it takes one COM number, 1-256";
                parsed.ShowUsage = false;
                return parsed;
            }
            o.AnswerCom = *com;
            continue;
        }
        if (arg == "--cbst") {
            // The speeds of 3GPP TS 27.007's +CBST; the modem judges which it has.
            const std::optional<int> speed = Number(value);
            if (!speed || *speed < 1 || *speed > 134) {
                parsed.Error = "bad value for --cbst: " + value + "; it takes a +CBST speed, 1-134 (7 V.32, 71 V.110)";
                parsed.ShowUsage = false;
                return parsed;
            }
            o.Bearer = *speed;
            continue;
        }
        if (arg == "--com") {
            // A second list would silently replace the first.
            std::vector<int> numbers;
            const std::string problem = comGiven ? std::string() : gParseComList(value, numbers);
            if (comGiven || !problem.empty()) {
                const std::string wrong = comGiven ? "--com is given twice, give every port in one list"
                                                   : "bad value for --com " + value + ": " + problem;
                // The line says what is wrong and what is allowed; the usage would only bury it.
                parsed.Error = wrong + "; " + ComAllowed;
                parsed.ShowUsage = false;
                return parsed;
            }
            comGiven = true;
            o.ComNumbers = numbers;
            continue;
        }
        o.Configure = true;
        std::optional<int> chosen;
        if (arg == "--model") {
            chosen = ModelFrom(value);
            if (chosen) o.ModelIndex = *chosen;
        } else if (arg == "--speed") {
            chosen = IndexOf(SpeedTable, value);
            if (chosen) o.SpeedIndex = *chosen;
        } else {
            chosen = value == "device" ? 0 : value == "computer" ? std::optional<int>(1) : std::nullopt;
            if (chosen) o.Place = *chosen;
        }
        if (!chosen) {
            parsed.Error = "bad value for " + arg + ": " + value;
            return parsed;
        }
    }
    if (o.Signal && (o.ComNumbers.size() != 1 || o.Check || o.Configure || o.SimPin || !o.ReportFile.empty()))
        parsed.Error = "--signal takes one COM port and no other job";
    if (o.SimPin && (o.Check || o.Configure))
        parsed.Error = "--sim-pin runs alone, without --check, --model, --speed or --place";
    if ((o.AnswerCom || o.NoRestart || o.Bearer) && o.CallNumber.empty())
        parsed.Error = "--answer-com, --no-restart and --cbst go with --call";
    if (!o.CallNumber.empty()) {
        if (o.ComNumbers.size() != 1 || o.Check || o.Configure || o.SimPin || o.Signal)
            parsed.Error = "--call takes one COM port and no other job";
        else if (o.AnswerCom == o.ComNumbers.front()) {
            parsed.Error = CallMsg::SamePort;
            parsed.ShowUsage = false;
        }
    }
    return parsed;
}

std::string gCliUsage() {
    return "usage: kestrelix-cli [--com N[,N-M...]] [--model N|NAME] [--speed BPS] [--place device|computer]\n"
           "                    [--check] [--report FILE.csv]\n"
           "       kestrelix-cli --check [--com N[,N-M...]] [--report FILE.csv]\n"
           "       kestrelix-cli --sim-pin [--com N[,N-M...]] [--report FILE.csv]\n"
           "       kestrelix-cli --signal [SECONDS] [--com N]\n"
           "       kestrelix-cli --call NUMBER [--com N] [--answer-com M] [--no-restart] [--cbst SPEED]\n"
           "                    [--report FILE.csv]\n"
           "       kestrelix-cli --list | --help\n"
           "Configures the modem on COM N (1-256, default 1) for unattended data exchange and prints\n"
           "the operation log. --model: the model's number or name as --list shows it (default 0);\n"
           "--speed: the metering device's port speed (default 9600); --place: where the modem will\n"
           "work, at the device (default) or at the computer. --list prints the models, the speeds\n"
           "and the device each COM number leads to. Ctrl+C stops the job; a second one ends at once.\n"
           "--check alone checks the modem (identity, IMEI, SIM card, signal, network) and changes\n"
           "nothing; with --model, --speed or --place it follows each successful job.\n"
           "Several ports (--com 3,5-8) run at once, each row prefixed with its port, and end with a\n"
           "summary; a device reached by several numbers runs once. --report writes one CSV row per\n"
           "port. SIGTERM, SIGHUP and a closed standard output stop the jobs as Ctrl+C does.\n"
           "--sim-pin turns off the SIM card's PIN request: the PIN (4-8 digits) is read once, from\n"
           "one line of standard input, never echoed, and sent at most once to each card; a card\n"
           "with one try left asks again first (answer \"да\"), a card that wants its PUK gets none.\n"
           "--signal shows the modem's signal level about once a second until Ctrl+C or for SECONDS:\n"
           "one line kept up to date on a terminal, else one line a reading (time;dBm;CSQ;network),\n"
           "then the summary; it changes nothing in the modem and exits 0 once a reading came, else 1.\n"
           "--call dials NUMBER (3-20 digits, an optional leading +) from the modem on COM N and\n"
           "follows the call to its end; it never answers for the other side and stores nothing in\n"
           "either modem. With --answer-com M the device's modem on COM M is restarted (AT+CFUN=1,1;\n"
           "not with --no-restart) so that its stored profile answers by itself, then 1 KiB crosses\n"
           "each way and is compared. A failed call tells the network's reason (ATS18=1, AT+CEER); a\n"
           "bearer the network refuses is tried once more with the other of AT+CBST=7,0,1 (V.32) and\n"
           "AT+CBST=71,0,1 (V.110), for this call only; --cbst SPEED dials with that one alone.\n"
           "The report has one row. Exit status: 0 the call connected (and\n"
           "the data came back whole), 1 it did not, 2 bad arguments, 3 a port could not be opened,\n"
           "4 the report could not be written.\n"
           "Text: arguments and file names may hold any Unicode characters (Cyrillic too); a console\n"
           "window shows the output as Unicode text; a pipe or a file gets UTF-8 with LF line ends.\n"
           "Exit status: 0 configured (or, checking only, the modem answered) on every port,\n"
           "1 not on some, or stopped, 2 bad arguments (or a PIN that is not 4-8 digits), 3 a port\n"
           "could not be opened and none failed otherwise, 4 the report could not be written.\n"
           "With --sim-pin: 0 the request is off on every port, 1 a wrong PIN, a PUK wanted or no modem.\n";
}
