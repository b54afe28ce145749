#include "gui-win32/LogRowTips.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR SubclassId = 1;
constexpr UINT_PTR ToolId = 1;
// The list view's own room around a label's text, in pixels: its padding on the left and
// the room it leaves after the text.
constexpr int LabelPadding = 12;

TOOLINFOW Tool(HWND log, wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    // The pointer passes through the tip to the rows beneath.
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = log;
    tool.uId = ToolId;
    tool.lpszText = text;
    return tool;
}

}  // namespace

LogRowTips::LogRowTips(HWND log)
    : Log(log),
      Tip(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(log), nullptr,
                          GetModuleHandleW(nullptr), nullptr)) {
    TOOLINFOW tool = Tool(Log, Shown.data());
    SendMessageW(Tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A row longer than the screen is wide wraps inside its tip rather than leave it.
    SendMessageW(Tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    SetWindowSubclass(Log, LogProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LogRowTips::~LogRowTips() {
    RemoveWindowSubclass(Log, LogProc, SubclassId);
    DestroyWindow(Tip);
}

LRESULT CALLBACK LogRowTips::LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<LogRowTips*>(data);
    if (message == WM_MOUSEMOVE) {
        self->OnPointer(lParam);
    } else if (message == WM_MOUSELEAVE || message == WM_MOUSEWHEEL || message == WM_VSCROLL ||
               message == WM_SETREDRAW) {
        // The rows move or the pointer left them: the tip would tell of another row.
        self->Hide();
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void LogRowTips::OnPointer(LPARAM clientPoint) {
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, Log, 0};
    TrackMouseEvent(&leave);
    LVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    const auto row = static_cast<int>(SendMessageW(Log, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row == Hovered) return;
    const std::wstring text = row < 0 ? std::wstring() : CutText(row);
    if (text.empty()) {
        Hide();
        Hovered = row;
        return;
    }
    Show(row, text);
}

std::wstring LogRowTips::CutText(int row) const {
    wchar_t text[1024];
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = 1024;
    const auto length = SendMessageW(Log, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    const std::wstring whole(text, static_cast<size_t>(length));
    const auto width = static_cast<int>(SendMessageW(Log, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
    const auto column = static_cast<int>(SendMessageW(Log, LVM_GETCOLUMNWIDTH, 0, 0));
    return width + LabelPadding > column ? whole : std::wstring();
}

// The tip lies under the row, where a tip under the pointer would, from the row's start.
void LogRowTips::Show(int row, const std::wstring& text) {
    Hide();
    Hovered = row;
    Shown = text;
    TOOLINFOW tool = Tool(Log, Shown.data());
    SendMessageW(Tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(Log, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    POINT at{label.left, label.bottom};
    ClientToScreen(Log, &at);
    SendMessageW(Tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(Tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void LogRowTips::Hide() {
    TOOLINFOW tool = Tool(Log, Shown.data());
    SendMessageW(Tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    Hovered = -1;
}
