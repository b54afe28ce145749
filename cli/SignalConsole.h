#pragma once
// The console's signal meter. On a terminal the log rows and one line kept up to date in
// place share the screen: a row clears the line, the next reading draws it again. To a
// pipe or a file stdout gets one data line a reading and the summary, the rows go to
// stderr, so the output reads as a table.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "cli/ConsoleToolkit.h"

class SignalConsole : public ConsoleToolkit {
public:
    SignalConsole(std::FILE* out, std::FILE* err, bool terminal);

    // Any thread, for Ctrl+C.
    void Interrupt();
    // Waits until the job has told its end, an interrupt comes or deadline passes (never
    // with noDeadline); returns the interrupts so far, or -1 once the job has ended.
    int WaitForChange(std::chrono::steady_clock::time_point deadline, bool noDeadline, int interruptsSeen);
    int ReadingCount();

protected:
    void RowInserted(int id, const std::string& text) override;
    void SignalShown(const SignalReading& reading) override;

private:
    void ClearLine();

    std::FILE* const Out;
    const bool Terminal;
    size_t DrawnWidth = 0;  // characters of the line on screen; 0 when none is
    int Readings = 0;

    std::mutex EndLock;  // the end and the interrupts
    std::condition_variable EndSeen;
    bool HasEnded = false;
    int Interrupts = 0;
};

// kestrelix-cli --signal: runs the meter on the option's port until Ctrl+C, the seconds
// asked for, or the job's own end; the exit status.
struct CliOptions;
int gRunSignal(const CliOptions& options);
