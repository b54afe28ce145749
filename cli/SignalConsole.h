#pragma once
// The console's signal meter. On a terminal the log rows and one line kept up to date in
// place share the screen: a row clears the line, the next reading draws it again. To a
// pipe or a file stdout gets one data line a reading and the summary, the rows go to
// stderr, so the output reads as a table.

#include <atomic>
#include <cstdio>

#include "cli/ConsoleToolkit.h"
#include "cli/RunEnd.h"

class SignalConsole : public ConsoleToolkit {
public:
    SignalConsole(std::FILE* out, std::FILE* err, bool terminal);

    // The job has told its end (SignalShown) when End does.
    RunEnd End;
    int ReadingCount() const { return Readings; }

protected:
    void RowInserted(int id, const std::string& text) override;
    void SignalShown(const SignalReading& reading) override;

private:
    void ClearLine();

    std::FILE* const Out;
    const bool Terminal;
    size_t DrawnWidth = 0;  // characters of the line on screen; 0 when none is
    std::atomic<int> Readings{0};
};

// kestrelix-cli --signal: runs the meter on the option's port until Ctrl+C, the seconds
// asked for, or the job's own end; the exit status.
struct CliOptions;
int gRunSignal(const CliOptions& options);
