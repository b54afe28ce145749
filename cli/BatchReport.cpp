#include "cli/BatchReport.h"

#include <cstdio>

#include "cli/CsvFields.h"
#include "engine/Format.h"
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
                      gOneDecimal(r.Seconds, '.').c_str());
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
        const std::string fields[] = {"COM" + std::to_string(r.Com), r.Device, gInertText(model), speed, place,
                                      r.Checked ? gInertText(f.Imei) : std::string(), OutcomeText(r.Outcome),
                                      gOneDecimal(r.Seconds, ','), gInertText(r.LastRow)};
        csv += gCsvRow(fields, std::size(fields));
    }
    return csv;
}
