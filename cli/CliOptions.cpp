#include "cli/CliOptions.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "cli/CliOptionTable.h"
#include "engine/CallMessages.h"

namespace {

const CliOption* Named(const std::string& name) {
    for (const auto& row : gCliOptionTable())
        if (name == row.Name || name == row.Alias) return &row;
    return nullptr;
}

// The refusal of the last rule that the options given break, or empty.
std::string Clash(const std::set<std::string>& given, const CliOptions& o) {
    std::string refusal;
    for (const auto& row : gCliOptionTable()) {
        if (!given.count(row.Name)) continue;
        const bool broken = (*row.Needs && !given.count(row.Needs)) || (row.OnePort && o.ComNumbers.size() != 1) ||
                            std::any_of(row.Excludes.begin(), row.Excludes.end(),
                                        [&](const std::string& other) { return given.count(other) > 0; });
        if (broken) refusal = row.Clash;
    }
    return refusal;
}

// Words go on while a line stays within this many characters, then on a line of their own
// under the first.
constexpr size_t UsageWidth = 100;
constexpr size_t UsageIndent = 20;

std::string UsageLine(CliLine line, bool first) {
    std::string text = first ? "usage: kestrelix-cli" : "       kestrelix-cli";
    std::vector<std::string> words;
    const CliOption* lead = nullptr;
    for (const auto& row : gCliOptionTable())
        if (row.Leads == line) lead = &row;
    if (lead) {
        const std::string argument = lead->Value == CliTakes::MaybeValue ? " [" + std::string(lead->Argument) + "]"
                                     : *lead->Argument                 ? " " + std::string(lead->Argument)
                                                                       : std::string();
        words.push_back(lead->Name + argument);
    }
    for (const auto& row : gCliOptionTable()) {
        if (!(row.Shown & line)) continue;
        if (line == UsageAlone) {
            words.push_back(words.empty() ? row.Name : std::string("| ") + row.Name);
            continue;
        }
        const char* argument = lead && lead->OnePort && *row.OnePortArgument ? row.OnePortArgument : row.Argument;
        words.push_back("[" + std::string(row.Name) + (*argument ? std::string(" ") + argument : "") + "]");
    }
    size_t width = text.size();
    for (const auto& word : words) {
        if (width + 1 + word.size() > UsageWidth) {
            text += "\n" + std::string(UsageIndent, ' ') + word;
            width = UsageIndent + word.size();
        } else {
            text += " " + word;
            width += 1 + word.size();
        }
    }
    return text + "\n";
}

}  // namespace

ParsedOptions gParseCliOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    CliOptions& o = parsed.Options;
    std::set<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const CliOption* row = Named(args[i]);
        if (!row) {
            parsed.Error = "unknown argument: " + args[i];
            return parsed;
        }
        CliSetting setting{o, given.count(row->Name) > 0};
        std::string value;
        if (row->Value == CliTakes::Value) {
            if (i + 1 == args.size()) {
                parsed.Error = args[i] + " needs a value";
                return parsed;
            }
            value = args[++i];
        } else if (row->Value == CliTakes::MaybeValue && i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
            // An optional value is a next argument that is no option.
            value = args[++i];
            setting.HasValue = true;
        }
        given.insert(row->Name);
        parsed.Error = row->Set(value, setting);
        if (!parsed.Error.empty()) {
            parsed.ShowUsage = setting.ShowUsage;
            return parsed;
        }
    }
    parsed.Error = Clash(given, o);
    if (parsed.Error.empty() && given.count("--call") && o.AnswerCom == o.ComNumbers.front()) {
        parsed.Error = CallMsg::SamePort;
        parsed.ShowUsage = false;
    }
    return parsed;
}

std::string gCliUsage() {
    std::string usage;
    for (const CliLine line : CliLines) usage += UsageLine(line, usage.empty());
    return usage +
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
