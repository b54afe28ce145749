#include "cli/ConsoleToolkit.h"

#include <vector>

#include "cli/ConsoleText.h"
#include "toolkit/ControlIds.h"

namespace {

// A row or a box text may hold CR LF line ends; the console wants plain newlines, each
// line with the prefix.
std::string Lines(const std::string& prefix, const std::string& text) {
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
    return lines;
}

}  // namespace

void ConsoleToolkit::Write(std::FILE* to, const std::string& text) {
    if (!OutputLock) return gWriteConsoleText(to, Lines(Prefix, text));
    std::lock_guard lock(*OutputLock);
    if (Progress) Progress->Write(to, Lines(Prefix, text));
    else gWriteConsoleText(to, Lines(Prefix, text));
}

void ConsoleToolkit::ShowMessage(const std::string& text, const std::string&) {
    Locked([&] { Write(Err, text); });
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
