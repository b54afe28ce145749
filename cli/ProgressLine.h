#pragma once
// The one status line a batch keeps at the foot of a terminal: how many ports are done,
// good and failed, and how many still run (or, for a test call, how long it has waited). Every other line written to the terminal
// goes through it, so the status is taken away first and drawn again below that line.
// Nothing of it is drawn when the output is not a terminal. Callers hold the batch's
// output lock.

#include <cstdio>
#include <string>

struct BatchProgress {
    int Done = 0;
    int Good = 0;
    int Failed = 0;
    int Running = 0;
    bool operator==(const BatchProgress&) const = default;
};

// "Ports done 3 of 64: good 2, failed 1, running 61".
std::string gProgressText(const BatchProgress& progress);

class ProgressLine {
public:
    // Draws on out only when it is a terminal and enabled.
    ProgressLine(std::FILE* out, bool enabled);

    void Show(const BatchProgress& progress);
    // Any one line of text in its place, as a test call's wait for the answer.
    void Show(const std::string& text);
    // Writes text to to (either stream) below where the status was, then draws it again.
    void Write(std::FILE* to, const std::string& text);
    // Takes the status away for good, as the summary follows.
    void Finish();

private:
    void Erase();
    void Draw();

    std::FILE* const Out;
    const bool Drawn;
    std::string Text;
    size_t Shown = 0;  // characters on screen now
};
