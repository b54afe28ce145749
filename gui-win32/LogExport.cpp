#include "gui-win32/LogExport.h"

#include <commdlg.h>

#include "toolkit/Utf16_win32.h"
#include "toolkit/ErrorText.h"
#include "toolkit/LogFile.h"
#include "toolkit/TextFile.h"

namespace {

// Room for a path of 259 characters and its closing zero.
constexpr size_t PathBufferSize = 260;

// The one filter, as pairs of description and pattern ended by an empty entry.
constexpr wchar_t Filter[] = L"Текстовые файлы (*.txt)\0*.txt\0";

void ShowBox(HWND owner, const LogFileBox& box) {
    MessageBoxW(owner, gToUtf16(box.Text).c_str(), gToUtf16(box.Caption).c_str(),
                MB_OK | (box.Critical ? MB_ICONSTOP : MB_ICONINFORMATION));
}

}  // namespace

std::optional<std::string> gAskSaveLogPath(HWND owner) {
    wchar_t path[PathBufferSize] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = PathBufferSize;
    dialog.lpstrInitialDir = L"";
    dialog.lpstrTitle = L"Сохранить...";
    // No default extension: the name is adjusted afterwards. With several files chosen the
    // first text of the answer is taken as the path.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_CREATEPROMPT |
                   OFN_NONETWORKBUTTON | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return gFromUtf16(path, wcslen(path));
}

int gWriteTxtFile(const std::string& path, const std::string& text, HWND owner) {
    const WriteOutcome outcome = gWriteWholeFile(path, text);
    if (outcome.Stage == WriteStage::Done) return 1;
    ShowBox(owner, gDescribeWriteFailure(path, outcome.Stage, gGetErrorText(outcome.Code)));
    return 0;
}

void gSaveLogTo(Toolkit& window, const std::string& chosen, HWND owner) {
    const std::optional<std::string> path = gAdjustLogPath(chosen);
    if (!path) {
        ShowBox(owner, gPathRefusedBox());
        return;
    }
    gWriteTxtFile(*path, gJoinLogRows(window), owner);
}
