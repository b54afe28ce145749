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
    // Characters, not bytes: a UTF-8 letter takes one column.
    Shown = 0;
    for (const unsigned char c : Text)
        if ((c & 0xC0) != 0x80) ++Shown;
}

void ProgressLine::Show(const BatchProgress& progress) { Show(gProgressText(progress)); }

void ProgressLine::Show(const std::string& text) {
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
