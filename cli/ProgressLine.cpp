#include "cli/ProgressLine.h"

#include "cli/ConsoleText.h"

std::string gProgressText(const BatchProgress& p) {
    const int total = p.Done + p.Running;
    return "Ports done " + std::to_string(p.Done) + " of " + std::to_string(total) + ": good " +
           std::to_string(p.Good) + ", failed " + std::to_string(p.Failed) + ", running " +
           std::to_string(p.Running);
}

ProgressLine::ProgressLine(std::FILE* out, bool enabled) : Out(out), Drawn(enabled && gIsConsole(out)) {}

// Carriage return and blanks, not terminal escapes: a Windows console knows them too.
void ProgressLine::Erase() {
    if (Shown == 0) return;
    gWriteConsoleText(Out, "\r" + std::string(Shown, ' ') + "\r");
    Shown = 0;
}

void ProgressLine::Draw() {
    if (!Drawn || Text.empty()) return;
    gWriteConsoleText(Out, Text);
    Shown = Text.size();  // ASCII alone
}

void ProgressLine::Show(const BatchProgress& progress) {
    const std::string text = gProgressText(progress);
    if (!Drawn || text == Text) return;
    Erase();
    Text = text;
    Draw();
}

void ProgressLine::Write(std::FILE* to, const std::string& text) {
    Erase();
    gWriteConsoleText(to, text);
    Draw();
}

void ProgressLine::Finish() {
    Erase();
    Text.clear();
}
