#include "cli/CliOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "engine/ConfigStep.h"
#include "toolkit/WindowChoices.h"

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

// "3", "3,5-8": COM numbers in the order given, each once.
std::optional<std::vector<int>> ComList(const std::string& text) {
    std::vector<int> numbers;
    size_t at = 0;
    for (;;) {
        const size_t comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        const size_t dash = item.find('-');
        const std::optional<int> first = Number(item.substr(0, dash));
        const std::optional<int> last = dash == std::string::npos ? first : Number(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last > ComPortCount || *first > *last) return std::nullopt;
        for (int n = *first; n <= *last; ++n) {
            if (std::find(numbers.begin(), numbers.end(), n) != numbers.end()) return std::nullopt;
            numbers.push_back(n);
        }
        if (comma == std::string::npos) return numbers;
        at = comma + 1;
    }
}

}  // namespace

ParsedOptions gParseCliOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    CliOptions& o = parsed.Options;
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
        if (arg != "--com" && arg != "--model" && arg != "--speed" && arg != "--place" && arg != "--report") {
            parsed.Error = "unknown argument: " + arg;
            return parsed;
        }
        if (i + 1 == args.size()) {
            parsed.Error = arg + " needs a value";
            return parsed;
        }
        const std::string& value = args[++i];
        if (arg == "--report") {
            o.ReportFile = value;
            continue;
        }
        if (arg == "--com") {
            const auto numbers = ComList(value);
            if (!numbers) {
                parsed.Error = "bad value for --com: " + value;
                return parsed;
            }
            o.ComNumbers = *numbers;
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
    if (o.SimPin && (o.Check || o.Configure)) parsed.Error = "--sim-pin runs alone, without --check, --model, --speed or --place";
    return parsed;
}

std::string gCliUsage() {
    return "usage: kestrelix-cli [--com N[,N-M...]] [--model N|NAME] [--speed BPS] [--place device|computer]\n"
           "                    [--check] [--report FILE.csv]\n"
           "       kestrelix-cli --check [--com N[,N-M...]] [--report FILE.csv]\n"
           "       kestrelix-cli --sim-pin [--com N[,N-M...]] [--report FILE.csv]\n"
           "       kestrelix-cli --list | --help\n"
           "Configures the modem on COM N (1-32, default 1) for unattended data exchange and prints\n"
           "the operation log. --model: the model's number or name as --list shows it (default 0);\n"
           "--speed: the metering device's port speed (default 9600); --place: where the modem will\n"
           "work, at the device (default) or at the computer. --list prints the models, the speeds\n"
           "and the device each COM number leads to. Ctrl+C stops the job; a second one ends at once.\n"
           "--check alone checks the modem (identity, IMEI, SIM card, signal, network) and changes\n"
           "nothing; with --model, --speed or --place it follows each successful job.\n"
           "Several ports (--com 3,5-8) run at once, each row prefixed with its port, and end with a\n"
           "summary; --report writes one CSV row per port.\n"
           "--sim-pin turns off the SIM card's PIN request: the PIN (4-8 digits) is read once, from\n"
           "one line of standard input, never echoed, and sent at most once to each card; a card\n"
           "with one try left asks again first (answer \"да\"), a card that wants its PUK gets none.\n"
           "Exit status: 0 configured (or, checking only, the modem answered) on every port,\n"
           "1 not on some, 2 bad arguments (or a PIN that is not 4-8 digits), 3 a port could not be\n"
           "opened and none failed otherwise. With --sim-pin: 0 the request is off on every port,\n"
           "1 a wrong PIN, a PUK wanted or no modem.\n";
}
