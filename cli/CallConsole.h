#pragma once
// The console's test call. Its rows go to stdout as the job's do; on a terminal the wait
// for the answer is one line below them, updated in place from the engine's status line,
// which a row takes away before it is written. The end brings the one-row report.

#include <cstdio>
#include <mutex>
#include <string>

#include "cli/ConsoleToolkit.h"
#include "cli/ProgressLine.h"
#include "cli/RunEnd.h"

struct CallFindings;
struct CliOptions;

class CallConsole : public ConsoleToolkit {
public:
    CallConsole(std::FILE* out, std::FILE* err);

    RunEnd End;

protected:
    void RowInserted(int id, const std::string& text) override;
    void TextChanged(int id, const std::string& text) override;

private:
    std::mutex Output;
    ProgressLine Waiting;  // under Output
    std::string Status;    // under Output: the engine's status line as last drawn
};

// The report: a header and one row (ports, number, outcome, connect text, seconds to
// connect, bytes checked, bit rate, whether the stored profile was proven, the network's
// reason for a failed dial and the +CBST speed it dialled with), UTF-8 with a
// byte order mark, semicolons, CR LF and a decimal comma.
std::string gCallReportCsv(const CliOptions& options, const CallFindings& found);

// kestrelix-cli --call: refuses two numbers leading to one device, runs the call and
// returns the exit status.
int gRunCall(const CliOptions& options);
