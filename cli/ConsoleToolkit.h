#pragma once
// The window's part played on a console: each new log row goes to stdout as it comes,
// a message box's text to stderr (and counts as closed at once), the drop-down lists
// live in memory. Beside other ports' toolkits it puts its port before every line, and
// a lock they share keeps each row whole on the console, below the batch's progress
// line. Text from the modem is data: control characters other than line ends never
// reach the terminal.

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

#include "cli/ProgressLine.h"
#include "toolkit/MemoryToolkit.h"

class ConsoleToolkit : public MemoryToolkit {
public:
    // With a progress line, every line goes out through it, under outputLock.
    ConsoleToolkit(std::FILE* out, std::FILE* err, std::string prefix = {}, std::mutex* outputLock = nullptr,
                   ProgressLine* progress = nullptr)
        : Out(out), Err(err), Prefix(std::move(prefix)), OutputLock(outputLock), Progress(progress) {}

    // Called on the writing thread, once the row's change is done, after a row could not
    // be written to standard output (a closed pipe): once, as a single Ctrl+C, so that every
    // console stops its run on it the same way.
    std::function<void()> OnOutputLost;

    // Where the answers to questions are read from, a line each; none answers No.
    std::FILE* Answers = nullptr;

    void ShowMessage(const std::string& text, const std::string& caption) override;
    // The question on stderr with "(да/нет)"; yes only for a line that says so.
    bool AskYesNo(const std::string& text, const std::string& caption) override;

    std::string LastRow();

protected:
    void RowInserted(int id, const std::string& text) override;
    void StateChanged() override;
    // Writes text as it stands, a console's data beside its rows; a failed write counts
    // as a row's does, told by the next TellOutputLost or change of state.
    void WriteData(std::FILE* to, const std::string& text);
    // Calls OnOutputLost the first time after standard output was lost; outside any lock.
    void TellOutputLost();

private:
    void Write(std::FILE* to, const std::string& text);

    std::FILE* Out;
    std::FILE* Err;
    const std::string Prefix;
    std::mutex* OutputLock;
    ProgressLine* Progress;
    std::atomic<bool> OutputLostUntold{false};
    std::atomic<bool> OutputLostTold{false};
};
