#pragma once
// The window's part played on a console: each new log row goes to stdout as it comes,
// a message box's text to stderr (and counts as closed at once), the drop-down lists
// live in memory. It tells its owner when the Start/Stop caption changes, which marks
// the start and the end of a job.

#include <cstdio>
#include <functional>
#include <string>

#include "toolkit/MemoryToolkit.h"

class ConsoleToolkit : public MemoryToolkit {
public:
    ConsoleToolkit(std::FILE* out, std::FILE* err) : Out(out), Err(err) {}

    // Called on the calling thread with each new Start/Stop caption.
    std::function<void(const std::string& caption)> OnCaption;

    void ShowMessage(const std::string& text, const std::string& caption) override;

    std::string LastRow();

protected:
    void RowInserted(int id, const std::string& text) override;
    void TextChanged(int id, const std::string& text) override;

private:
    std::FILE* Out;
    std::FILE* Err;
};
