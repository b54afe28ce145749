#include "cli/BatchReport.h"

#include <cstdio>
#include <string_view>

#include "engine/ConfigStep.h"

namespace {

const char* OutcomeText(PortOutcome outcome) {
    switch (outcome) {
    case PortOutcome::Configured: return "configured";
    case PortOutcome::NotConfigured: return "not configured";
    case PortOutcome::Answered: return "answered";
    case PortOutcome::NotAnswered: return "no answer";
    case PortOutcome::Stopped: return "stopped";
    case PortOutcome::PortNotOpened: return "port not opened";
    case PortOutcome::PortFailed: return "port failed";
    }
    return "";
}

std::string Seconds(double seconds, char point) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    std::string out = text;
    for (char& c : out)
        if (c == '.') c = point;
    return out;
}

// A field as spreadsheets read it back unchanged: quoted, with inner quotes doubled,
// when it holds the separator, a quote or a line end.
std::string Field(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// Text the modem chose (its model, its IMEI, a row quoting its reply) is data: a
// spreadsheet takes a leading =, +, - or @ as the start of a formula.
std::string Inert(const std::string& text) {
    if (!text.empty() && std::string_view("=+-@").find(text[0]) != std::string_view::npos) return "'" + text;
    return text;
}

}  // namespace

bool gSucceeded(PortOutcome outcome) {
    return outcome == PortOutcome::Configured || outcome == PortOutcome::Answered;
}

ExitStatus gExitStatus(const std::vector<PortResult>& results) {
    bool failed = false;
    bool notOpened = false;
    for (const PortResult& r : results) {
        if (r.Outcome == PortOutcome::PortNotOpened) notOpened = true;
        else if (!gSucceeded(r.Outcome)) failed = true;
    }
    return failed ? SomeFailed : notOpened ? PortNotOpened : AllSucceeded;
}

std::string gSummaryTable(const std::vector<PortResult>& results) {
    std::string table = "Port   Outcome           Seconds\n";
    for (const PortResult& r : results) {
        char line[96];
        std::snprintf(line, sizeof line, "COM%-3d %-17s %7s\n", r.Com, OutcomeText(r.Outcome),
                      Seconds(r.Seconds, '.').c_str());
        table += line;
    }
    return table;
}

std::string gReportCsv(const std::vector<PortResult>& results, const CliOptions& options) {
    std::string csv = "\xEF\xBB\xBFPort;Device;Model;Speed;Place;IMEI;Outcome;Seconds;Last log row\r\n";
    const bool job = gRunsJob(options);
    for (const PortResult& r : results) {
        const ModemFindings& f = r.Findings;
        std::string model, speed, place;
        if (job) {
            model = ModemCatalogue[options.ModelIndex];
            speed = SpeedTable[options.SpeedIndex];
            place = options.Place ? "computer" : "device";
        } else if (f.Answered) {
            // Checked only: what the modem says of itself, and where it was found.
            model = f.Maker.empty() || f.Model.empty() ? f.Maker + f.Model : f.Maker + " " + f.Model;
            speed = std::to_string(f.Speed);
        }
        const std::string fields[] = {"COM" + std::to_string(r.Com), r.Device, Inert(model), speed, place,
                                      r.Checked ? Inert(f.Imei) : std::string(), OutcomeText(r.Outcome),
                                      Seconds(r.Seconds, ','), Inert(r.LastRow)};
        for (size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) csv += ';';
            csv += Field(fields[i]);
        }
        csv += "\r\n";
    }
    return csv;
}
