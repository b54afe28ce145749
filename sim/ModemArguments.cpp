#include "sim/ModemArguments.h"

#include <map>
#include <set>

#include "frontend/ComList.h"
#include "sim/ModemOptions.h"

namespace {

// Where a row's help begins; a longer name and argument leave two spaces.
constexpr size_t HelpColumn = 21;

// The help's later lines start at the help's column.
std::string Indented(const std::string& help) {
    std::string text;
    for (const char c : help) text += c == '\n' ? "\n" + std::string(HelpColumn, ' ') : std::string(1, c);
    return text;
}

const ModemOption* Named(const std::string& name) {
    for (const auto& row : gModemOptions())
        if (row.Set && (name == row.Name || name == row.Alias)) return &row;
    return nullptr;
}

// The options of one modem, and the names of those given.
std::string ParseOne(const std::vector<std::string>& args, VirtualModemOptions& o, bool& help,
                     std::set<std::string>& given) {
    help = false;
    ModemArgumentTarget target{o, help};
    for (size_t i = 0; i < args.size(); ++i) {
        const ModemOption* row = Named(args[i]);
        if (!row) return "unknown option " + args[i];
        given.insert(row->Name);
        const bool takesValue = *row->Argument != '\0';
        if (takesValue && i + 1 == args.size()) return row->Refusal;
        std::string why;
        if (!row->Set(takesValue ? args[++i] : std::string(), target, why)) return why.empty() ? row->Refusal : why;
    }
    // A card given a PIN asks for it, whichever of --sim and --pin came first.
    if (given.count("--pin") && !given.count("--sim")) o.Sim = SimState::PinNeeded;
    return {};
}

// "--profile, --transcript and --number serve one modem; ..."
std::string OneModemRefusal() {
    std::vector<std::string> names;
    for (const auto& row : gModemOptions())
        if (row.OneModem) names.push_back(row.Name);
    std::string list;
    for (size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return list + " serve one modem; give them after a --com of one number";
}

bool HasOneModemOption(const std::set<std::string>& given) {
    for (const auto& row : gModemOptions())
        if (row.OneModem && given.count(row.Name)) return true;
    return false;
}

}  // namespace

std::string gModemUsage() {
    std::string usage =
        "Usage: kestrelix-modem [options] [--com LIST [options]]...\n"
        "Virtual AT modems on pseudo-terminals, each reachable as COMn and each a modem of its own.\n";
    for (const auto& row : gModemOptions()) {
        if (row.Heading) usage += std::string(row.Heading) + "\n";
        std::string head = "  " + std::string(row.Name) + (*row.Argument ? std::string(" ") + row.Argument : "");
        head += head.size() < HelpColumn ? std::string(HelpColumn - head.size(), ' ') : "  ";
        usage += head + Indented(row.Help) + "\n";
    }
    return usage;
}

std::string gParseModemArguments(const std::vector<std::string>& args, VirtualModemOptions& o, bool& help) {
    std::set<std::string> given;
    return ParseOne(args, o, help, given);
}

std::string gParseModemGroups(const std::vector<std::string>& args, std::vector<VirtualModemOptions>& modems,
                              bool& help) {
    modems.clear();
    std::vector<std::string> shared;
    size_t i = 0;
    for (; i < args.size() && args[i] != "--com"; ++i) shared.push_back(args[i]);
    if (i == args.size()) {
        VirtualModemOptions o;
        std::string error = gParseModemArguments(shared, o, help);
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
        std::set<std::string> given;
        std::string error = ParseOne(own, o, help, given);
        if (!error.empty()) return error;
        // Several modems writing one file would garble it, and a number is one modem's.
        if (numbers.size() > 1 && HasOneModemOption(given)) return OneModemRefusal();
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
