#include "cli/ConsoleToolkit.h"

#include <vector>

#include "cli/ConsoleText.h"
#include "toolkit/ControlIds.h"

namespace {

// Replaces what a terminal would act on rather than show: C0 controls, DEL, and the C1
// controls (U+0080 to U+009F, two bytes in UTF-8) that some terminals take as escapes.
constexpr char Replacement = '?';

// A row or a box text may hold CR LF line ends; the console wants plain newlines, each
// line with the prefix.
std::string Lines(const std::string& prefix, const std::string& text) {
    std::string lines = prefix;
    lines.reserve(text.size() + prefix.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            lines += '\n';
            lines += prefix;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c < 0x20 || c == 0x7F) {
            lines += Replacement;
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            lines += Replacement;
            ++i;
        } else {
            lines += text[i];
        }
    }
    lines += '\n';
    return lines;
}

}  // namespace

void ConsoleToolkit::Write(std::FILE* to, const std::string& text) {
    std::string lines = Lines(Prefix, text);
    std::unique_lock<std::mutex> lock;
    if (OutputLock) lock = std::unique_lock(*OutputLock);
    if (Progress) Progress->Write(to, lines);
    else gWriteConsoleText(to, lines);
    if (to == Out && std::ferror(to)) OutputLostUntold = true;
}

// Told here, outside the lock that rows are written under: the owner takes its own lock
// to stop the jobs, and holds that one while it reads the last row.
void ConsoleToolkit::StateChanged() { TellOutputLost(); }

void ConsoleToolkit::TellOutputLost() {
    if (OutputLostUntold.exchange(false) && !OutputLostTold.exchange(true) && OnOutputLost) OnOutputLost();
}

void ConsoleToolkit::WriteData(std::FILE* to, const std::string& text) {
    gWriteConsoleText(to, text);
    if (std::ferror(to)) OutputLostUntold = true;
}

void ConsoleToolkit::ShowMessage(const std::string& text, const std::string&) {
    Locked([&] { Write(Err, text); });
}

bool ConsoleToolkit::AskYesNo(const std::string& text, const std::string&) {
    if (!Locked([] {})) return false;
    // One operator at one console: ports ask one at a time, and each reads its own answer.
    static std::mutex asking;
    std::lock_guard lock(asking);
    Write(Err, text + " (да/нет)");
    if (!Answers) return false;
    std::string answer;
    int c = 0;
    while ((c = std::fgetc(Answers)) != EOF && c != '\n') answer += static_cast<char>(c);
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return answer == "да" || answer == "Да" || answer == "ДА" || answer == "y" || answer == "yes";
}

// Rows are only ever appended by the engine, so printing in arrival order is the log's order.
void ConsoleToolkit::RowInserted(int, const std::string& text) { Write(Out, text); }

std::string ConsoleToolkit::LastRow() {
    std::lock_guard lock(Mutex);
    const std::vector<std::string>& rows = Logs[ControlId::LogView];
    return rows.empty() ? std::string() : rows.back();
}
