#pragma once
// What a console of one run waits on: the run's end and the operator's interrupts. A
// standard output closed by its reader counts as one Ctrl+C, and the run that nobody
// read to its end is no success.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

class RunEnd {
public:
    // Any thread: Ctrl+C.
    void Interrupt();
    // The console's writing thread, once its output is lost.
    void OutputLost();
    // The engine's worker, once the run has ended.
    void RunEnded();
    // Waits until the run has ended, another interrupt comes or the deadline passes;
    // the interrupts so far, or -1 once the run has ended.
    int WaitForChange(int interruptsSeen, std::optional<std::chrono::steady_clock::time_point> deadline = {});
    bool OutputWasLost();

private:
    std::mutex Lock;
    std::condition_variable Changed;
    bool Ended = false;
    bool Lost = false;
    int Interrupts = 0;
};
