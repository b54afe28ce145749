#include "cli/ConsoleToolkit.h"

#include <vector>

#include "cli/ConsoleText.h"
#include "toolkit/ControlIds.h"

namespace {

// A row or a box text may hold CR LF line ends; the console wants plain newlines, each
// line with the prefix.
void WriteLines(std::FILE* to, const std::string& prefix, const std::string& text) {
    std::string lines = prefix;
    lines.reserve(text.size() + prefix.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines += '\n';
            lines += prefix;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    lines += '\n';
    gWriteConsoleText(to, lines);
}

}  // namespace

void ConsoleToolkit::Write(std::FILE* to, const std::string& text) {
    if (!OutputLock) return WriteLines(to, Prefix, text);
    std::lock_guard lock(*OutputLock);
    WriteLines(to, Prefix, text);
}

void ConsoleToolkit::ShowMessage(const std::string& text, const std::string&) {
    Locked([&] { Write(Err, text); });
}

bool ConsoleToolkit::AskYesNo(const std::string& text, const std::string&) {
    std::string answer;
    const bool asked = Locked([&] {
        // Under the shared lock, so that ports ask one at a time and each reads its own answer.
        std::unique_lock<std::mutex> output;
        if (OutputLock) output = std::unique_lock(*OutputLock);
        WriteLines(Err, Prefix, text + " (да/нет)");
        if (!Answers) return;
        int c = 0;
        while ((c = std::fgetc(Answers)) != EOF && c != '\n') answer += static_cast<char>(c);
        if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    });
    return asked && (answer == "да" || answer == "Да" || answer == "ДА" || answer == "y" || answer == "yes");
}

// Rows are only ever appended by the engine, so printing in arrival order is the log's order.
void ConsoleToolkit::RowInserted(int, const std::string& text) { Write(Out, text); }

void ConsoleToolkit::TextChanged(int id, const std::string& text) {
    if (id == ControlId::StartStop && OnCaption) OnCaption(text);
}

std::string ConsoleToolkit::LastRow() {
    std::lock_guard lock(Mutex);
    const std::vector<std::string>& rows = Logs[ControlId::LogView];
    return rows.empty() ? std::string() : rows.back();
}
