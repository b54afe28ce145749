#pragma once
// The console's runs: on each COM port given, a job, a modem check, or a job and then a
// check, all ports at once, each with an engine, a console window and a worker of its
// own. With several ports every line is prefixed with its port ("COM5: ") and rows stay
// whole; the end brings a summary table and, when asked, the CSV report. On a terminal a status
// line below the rows counts the ports as they end.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/BatchReport.h"
#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"

class Batch {
public:
    // pin: the SIM card's PIN for --sim-pin, the same for every port; forgotten at the end.
    // answers: where the console reads the operator's answers to questions; none answers No.
    Batch(const CliOptions& options, std::FILE* out, std::FILE* err, std::string pin = {},
          std::FILE* answers = nullptr);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Any thread, for Ctrl+C: the first stops every run, as the Stop button does; the
    // second makes Run return at once.
    void Interrupt();
    // Any thread, when standard output can no longer be written: every run is stopped
    // once, as by a first Ctrl+C, and the run fails.
    void OutputLost();

    // Starts every port and waits until all have ended; then prints the summary (several
    // ports), writes the report (when asked) and returns the exit status.
    int Run();

    // What each port came to, in the order given; complete once Run has returned normally.
    std::vector<PortResult> Results();

private:
    struct Port;
    using Clock = std::chrono::steady_clock;

    void Launch(Port& port, bool check);
    // Under the lock, once port's run has ended: its result so far; true when a check
    // is to follow.
    bool Conclude(Port& port);
    // False, after telling why, when the report could not be written.
    bool WriteReport(const std::vector<PortResult>& results);
    // Under the lock: the ports' counts for the progress line.
    BatchProgress Counts() const;

    const CliOptions Options;
    std::string Pin;
    std::FILE* const Out;
    std::FILE* const Err;
    std::mutex OutputLock;  // keeps the console's rows whole across ports
    ProgressLine Progress;  // under OutputLock

    std::mutex Mutex;  // guards the ports' progress and the interrupts
    std::condition_variable Changed;
    int Interrupts = 0;
    bool OutputGone = false;
    uint64_t Generation = 0;  // counts every change, for the waits
    std::vector<std::unique_ptr<Port>> Ports;
    // Numbers given twice and numbers that lead to a device an earlier number has: no
    // second job runs on one device. Told at the start of Run.
    std::vector<std::string> SharedNumbers;
};
