#pragma once
// What a run of the console front end tells at its end: each port's outcome, the summary
// table, the CSV report and the exit status. No I/O.

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "engine/ConfigEngine.h"

enum ExitStatus { AllSucceeded = 0, SomeFailed = 1, BadArguments = 2, PortNotOpened = 3, ReportNotWritten = 4 };

enum class PortOutcome { Configured, NotConfigured, Answered, NotAnswered, Stopped, PortNotOpened, PortFailed };

struct PortResult {
    int Com = 0;
    std::string Device;  // the device COMn ended at when its run began; empty when nothing
    PortOutcome Outcome = PortOutcome::PortNotOpened;
    double Seconds = 0;
    std::string LastRow;
    bool Checked = false;  // a check ran to its end; Findings hold what it learned
    ModemFindings Findings;
};

// Success is every port configured, or answering when only checked.
bool gSucceeded(PortOutcome outcome);

// AllSucceeded, SomeFailed, or PortNotOpened when the only failures are ports that could
// not be opened.
ExitStatus gExitStatus(const std::vector<PortResult>& results);

// One line a port: its name, outcome and seconds, in columns, with a heading.
std::string gSummaryTable(const std::vector<PortResult>& results);

// The report: UTF-8 with a byte order mark, a header line, one row a port; fields
// separated by semicolons and quoted where they must be, lines ended by CR LF, and a
// decimal comma, as spreadsheets in the operators' locale read it.
std::string gReportCsv(const std::vector<PortResult>& results, const CliOptions& options);
