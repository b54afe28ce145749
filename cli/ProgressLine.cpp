#include "cli/ProgressLine.h"

#include "cli/ConsoleText.h"

std::string gProgressText(const BatchProgress& p) {
    char text[96];
    std::snprintf(text, sizeof text, "Ports done %d of %d: good %d, failed %d, running %d", p.Done,
                  p.Done + p.Running, p.Good, p.Failed, p.Running);
    return text;
}

ProgressLine::ProgressLine(std::FILE* out, bool enabled) : Out(out), Drawn(enabled && gIsConsole(out)) {}

// Carriage return and blanks, not terminal escapes: a Windows console knows them too.
void ProgressLine::Erase() {
    if (Shown == 0) return;
    std::string blank(Shown + 2, ' ');
    blank.front() = blank.back() = '\r';
    gWriteConsoleText(Out, blank);
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
