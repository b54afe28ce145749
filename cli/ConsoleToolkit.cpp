#include "cli/ConsoleToolkit.h"

#include "ui/ControlIds.h"

namespace {

// A row or a box text may hold CR LF line ends; the console wants plain newlines.
void WriteLines(std::FILE* to, const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    lines += '\n';
    std::fwrite(lines.data(), 1, lines.size(), to);
    std::fflush(to);
}

}  // namespace

void ConsoleToolkit::ShowMessage(const std::string& text, const std::string&) {
    std::lock_guard lock(Mutex);
    if (!Cancelled) WriteLines(Err, text);
}

void ConsoleToolkit::ComboClear(int id) {
    std::lock_guard lock(Mutex);
    Combos[id] = {};
}

void ConsoleToolkit::ComboAppend(int id, const std::string& text) {
    std::lock_guard lock(Mutex);
    Combos[id].Items.push_back(text);
}

void ConsoleToolkit::ComboSelect(int id, int index) {
    std::lock_guard lock(Mutex);
    Combo& c = Combos[id];
    c.Selected = index >= 0 && index < static_cast<int>(c.Items.size()) ? index : -1;
}

int ConsoleToolkit::ComboSelected(int id) {
    std::lock_guard lock(Mutex);
    return Cancelled ? -1 : Combos[id].Selected;
}

std::string ConsoleToolkit::ComboText(int id) {
    std::lock_guard lock(Mutex);
    const Combo& c = Combos[id];
    return Cancelled || c.Selected < 0 ? std::string() : c.Items[c.Selected];
}

void ConsoleToolkit::SetControlText(int id, const std::string& text) {
    {
        std::lock_guard lock(Mutex);
        if (Cancelled || id != ControlId::StartStop) return;
    }
    if (OnCaption) OnCaption(text);
}

int ConsoleToolkit::LogRowCount(int) {
    std::lock_guard lock(Mutex);
    return Cancelled ? 0 : static_cast<int>(Rows.size());
}

// Rows are only ever appended by the engine, so printing in arrival order is the log's order.
void ConsoleToolkit::LogInsertRow(int, int position, const std::string& text) {
    std::lock_guard lock(Mutex);
    if (Cancelled) return;
    if (position < 0 || position > static_cast<int>(Rows.size())) position = static_cast<int>(Rows.size());
    Rows.insert(Rows.begin() + position, text);
    WriteLines(Out, text);
}

void ConsoleToolkit::LogDeleteAll(int) {
    std::lock_guard lock(Mutex);
    if (!Cancelled) Rows.clear();
}

std::string ConsoleToolkit::LogRowText(int, int row) {
    std::lock_guard lock(Mutex);
    return Cancelled || row < 0 || row >= static_cast<int>(Rows.size()) ? std::string() : Rows[row];
}

void ConsoleToolkit::CancelRequests() {
    std::lock_guard lock(Mutex);
    Cancelled = true;
}

std::string ConsoleToolkit::LastRow() {
    std::lock_guard lock(Mutex);
    return Rows.empty() ? std::string() : Rows.back();
}
