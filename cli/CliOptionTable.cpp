#include "cli/CliOptionTable.h"

#include <cctype>
#include <charconv>
#include <optional>

#include "engine/CallNumber.h"
#include "engine/CallMessages.h"
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

std::string BadValue(const char* name, const std::string& value) {
    return std::string("bad value for ") + name + ": " + value;
}

const char* const CallOnly = "--answer-com and --no-restart go with --call";

}  // namespace

const std::vector<CliOption>& gCliOptionTable() {
    static const std::vector<CliOption> rows = {
        {.Name = "--com", .Value = CliTakes::Value, .Argument = "N[,N-M...]", .OnePortArgument = "N",
         .Set = [](const std::string& value, CliSetting& s) {
             s.ShowUsage = false;  // the line says what is wrong and what is allowed
             if (s.Again) return "--com is given twice, give every port in one list; " + ComAllowed;
             std::vector<int> numbers;
             const std::string problem = gParseComList(value, numbers);
             if (!problem.empty()) return "bad value for --com " + value + ": " + problem + "; " + ComAllowed;
             s.Options.ComNumbers = numbers;
             s.ShowUsage = true;
             return std::string();
         },
         .Shown = UsageOfJob | UsageOfCheck | UsageOfSimPin | UsageOfSignal | UsageOfCall},
        {.Name = "--model", .Value = CliTakes::Value, .Argument = "N|NAME",
         .Set = [](const std::string& value, CliSetting& s) {
             s.Options.Configure = true;
             const auto chosen = ModelFrom(value);
             if (!chosen) return BadValue("--model", value);
             s.Options.ModelIndex = *chosen;
             return std::string();
         },
         .Shown = UsageOfJob},
        {.Name = "--speed", .Value = CliTakes::Value, .Argument = "BPS",
         .Set = [](const std::string& value, CliSetting& s) {
             s.Options.Configure = true;
             const auto chosen = IndexOf(SpeedTable, value);
             if (!chosen) return BadValue("--speed", value);
             s.Options.SpeedIndex = *chosen;
             return std::string();
         },
         .Shown = UsageOfJob},
        {.Name = "--place", .Value = CliTakes::Value, .Argument = "device|computer",
         .Set = [](const std::string& value, CliSetting& s) {
             s.Options.Configure = true;
             if (value != "device" && value != "computer") return BadValue("--place", value);
             s.Options.Place = value == "device" ? 0 : 1;
             return std::string();
         },
         .Shown = UsageOfJob},
        {.Name = "--check",
         .Set = [](const std::string&, CliSetting& s) {
             s.Options.Check = true;
             return std::string();
         },
         .Shown = UsageOfJob, .Leads = UsageOfCheck},
        {.Name = "--signal", .Value = CliTakes::MaybeValue, .Argument = "SECONDS",
         .Set = [](const std::string& value, CliSetting& s) {
             s.Options.Signal = true;
             if (!s.HasValue) return std::string();
             const std::optional<int> seconds = Number(value);
             if (!seconds || *seconds < 1) return BadValue("--signal", value);
             s.Options.SignalSeconds = *seconds;
             return std::string();
         },
         .Leads = UsageOfSignal, .Excludes = {"--check", "--model", "--speed", "--place", "--sim-pin", "--report"},
         .OnePort = true, .Clash = "--signal takes one COM port and no other job"},
        {.Name = "--sim-pin",
         .Set = [](const std::string&, CliSetting& s) {
             s.Options.SimPin = true;
             return std::string();
         },
         .Leads = UsageOfSimPin, .Excludes = {"--check", "--model", "--speed", "--place"},
         .Clash = "--sim-pin runs alone, without --check, --model, --speed or --place"},
        {.Name = "--answer-com", .Value = CliTakes::Value, .Argument = "M",
         .Set = [](const std::string& value, CliSetting& s) {
             const std::optional<int> com = Number(value);
             if (!com || *com < 1 || *com > HighestComNumber) {
                 s.ShowUsage = false;
                 return "bad value for --answer-com: " + value + "; it takes one COM number, 1-256";
             }
             s.Options.AnswerCom = *com;
             return std::string();
         },
         .Shown = UsageOfCall, .Needs = "--call", .Clash = CallOnly},
        {.Name = "--no-restart",
         .Set = [](const std::string&, CliSetting& s) {
             s.Options.NoRestart = true;
             return std::string();
         },
         .Shown = UsageOfCall, .Needs = "--call", .Clash = CallOnly},
        {.Name = "--cbst", .Value = CliTakes::Value, .Argument = "SPEED",
         .Set = [](const std::string& value, CliSetting& s) {
             // The speeds of 3GPP TS 27.007's +CBST; the modem judges which it has.
             const std::optional<int> speed = Number(value);
             if (!speed || *speed < 1 || *speed > 134) {
                 s.ShowUsage = false;
                 return "bad value for --cbst: " + value + "; it takes a +CBST speed, 1-134 (7 V.32, 71 V.110)";
             }
             s.Options.Bearer = *speed;
             return std::string();
         },
         .Shown = UsageOfCall, .Needs = "--call", .Clash = "--cbst goes with --call"},
        {.Name = "--call", .Value = CliTakes::Value, .Argument = "NUMBER",
         .Set = [](const std::string& value, CliSetting& s) {
             // Refused here, before any port opens: the number reaches the modem as it is.
             if (!gIsCallNumber(value)) {
                 s.ShowUsage = false;
                 return std::string(CallMsg::BadNumber);
             }
             s.Options.CallNumber = value;
             return std::string();
         },
         .Leads = UsageOfCall, .Excludes = {"--check", "--model", "--speed", "--place", "--sim-pin", "--signal"},
         .OnePort = true, .Clash = "--call takes one COM port and no other job"},
        {.Name = "--report", .Value = CliTakes::Value, .Argument = "FILE.csv",
         .Set = [](const std::string& value, CliSetting& s) {
             if (value.empty()) return std::string("--report needs a file name");
             s.Options.ReportFile = value;
             return std::string();
         },
         .Shown = UsageOfJob | UsageOfCheck | UsageOfSimPin | UsageOfCall},
        {.Name = "--list",
         .Set = [](const std::string&, CliSetting& s) {
             s.Options.List = true;
             return std::string();
         },
         .Shown = UsageAlone},
        {.Name = "--help", .Alias = "-h",
         .Set = [](const std::string&, CliSetting& s) {
             s.Options.Help = true;
             return std::string();
         },
         .Shown = UsageAlone},
    };
    return rows;
}

