#include "gui-win32/LogExport.h"

#include <commdlg.h>

#include <vector>

#include "frontend/LogFile.h"
#include "os/Utf16_win32.h"

namespace {

// The longest path the log is saved to: 259 characters, as a file name of the classic
// Win32 calls allows.
constexpr size_t LongestPath = 259;

// With OFN_ALLOWMULTISELECT the dialog answers with a list of zero-ended texts closed by
// a second zero, and some implementations write that closing zero past a full buffer.
// So the buffer is on the heap and as large as any path Windows knows, with room left:
// a name too long for the log is refused by length afterwards, never cut or overrun.
constexpr size_t AnswerBufferSize = 32768 + 2;

ShowLogFileBox BoxesOf(HWND owner) {
    return [owner](const LogFileBox& box) {
        MessageBoxW(owner, gToUtf16(box.Text).c_str(), gToUtf16(box.Caption).c_str(),
                    MB_OK | (box.Critical ? MB_ICONSTOP : MB_ICONINFORMATION));
    };
}

// The one path of the answer: a full path, or a folder followed by the names chosen in
// it, of which the first is taken.
std::wstring ChosenPath(const std::vector<wchar_t>& answer) {
    std::wstring path(answer.data());
    const wchar_t* name = answer.data() + path.size() + 1;
    if (path.empty() || *name == L'\0') return path;
    if (path.back() != L'\\') path += L'\\';
    return path + name;
}

}  // namespace

std::optional<std::string> gAskSaveLogPath(HWND owner) {
    std::vector<wchar_t> answer(AnswerBufferSize, L'\0');
    // The filter as pairs of description and pattern, ended by an empty entry.
    const std::wstring filter = gToUtf16(LogFilterName) + L'\0' + gToUtf16(LogFilterPattern) + L'\0';
    const std::wstring title = gToUtf16(SaveLogTitle);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = answer.data();
    // Two places short, so a closing zero written past the count stays inside.
    dialog.nMaxFile = static_cast<DWORD>(answer.size() - 2);
    dialog.lpstrInitialDir = L"";
    dialog.lpstrTitle = title.c_str();
    // No default extension: the name is adjusted afterwards.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_CREATEPROMPT |
                   OFN_NONETWORKBUTTON | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&dialog)) {
        // A name that does not fit is refused like one without a folder; a cancel is silent.
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) return std::string();
        return std::nullopt;
    }
    const std::wstring path = ChosenPath(answer);
    if (path.size() > LongestPath) return std::string();
    return gFromUtf16(path.data(), path.size());
}

int gWriteTxtFile(const std::string& path, const std::string& text, HWND owner) {
    return gWriteLogFile(path, text, BoxesOf(owner));
}

void gSaveLogTo(Toolkit& window, const std::string& chosen, HWND owner) { gSaveLog(window, chosen, BoxesOf(owner)); }
