#include "gui-win32/ComPortTips.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr UINT_PTR SubclassId = 1;
// The open list's tip has one tool, placed by hand: the list holds the pointer while it is
// open, so a tip cannot find the entry under it by itself.
constexpr UINT_PTR ListToolId = 1;

HWND ListOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

// Shown also while the dialog is not the active window.
HWND MakeTip(HWND owner) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// The size the control library of every Windows version takes: the later, larger one is
// refused by the library a program without a manifest gets.
TOOLINFOW Tool(HWND notified, UINT flags, UINT_PTR id) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = flags;
    tool.hwnd = notified;
    tool.uId = id;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

}  // namespace

ComPortTips::ComPortTips(HWND combo, std::function<std::wstring()> chosen, std::function<std::wstring(int)> listed)
    : Combo(combo), List(ListOf(combo)), Chosen(std::move(chosen)), Listed(std::move(listed)),
      FieldTip(MakeTip(GetParent(combo))), ListTip(MakeTip(GetParent(combo))) {
    // Both tips ask the selector for their texts, which this object answers for it.
    SetWindowSubclass(Combo, ComboProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(List, ListProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
    TOOLINFOW fieldTool = Tool(Combo, TTF_IDISHWND | TTF_SUBCLASS, reinterpret_cast<UINT_PTR>(Combo));
    SendMessageW(FieldTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&fieldTool));
    TOOLINFOW listTool = Tool(Combo, TTF_TRACK, ListToolId);
    SendMessageW(ListTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&listTool));
}

ComPortTips::~ComPortTips() {
    RemoveWindowSubclass(List, ListProc, SubclassId);
    RemoveWindowSubclass(Combo, ComboProc, SubclassId);
    DestroyWindow(ListTip);
    DestroyWindow(FieldTip);
}

LRESULT CALLBACK ComPortTips::ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    auto* self = reinterpret_cast<ComPortTips*>(data);
    if (message != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != TTN_GETDISPINFOW)
        return DefSubclassProc(window, message, wParam, lParam);
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    if (info->hdr.hwndFrom == self->FieldTip) {
        self->ChosenText = self->Chosen();
        info->lpszText = self->ChosenText.data();
    } else if (info->hdr.hwndFrom == self->ListTip) {
        self->ListedText = self->Listed(self->Hovered);
        info->lpszText = self->ListedText.data();
    } else {
        return DefSubclassProc(window, message, wParam, lParam);
    }
    info->hinst = nullptr;
    return 0;
}

LRESULT CALLBACK ComPortTips::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    if (message == WM_MOUSEMOVE) reinterpret_cast<ComPortTips*>(data)->OnListPointer(lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

void ComPortTips::OnListPointer(LPARAM clientPoint) {
    RECT client{};
    GetClientRect(List, &client);
    const POINT at{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    const auto found = static_cast<DWORD>(SendMessageW(List, LB_ITEMFROMPOINT, 0, clientPoint));
    // The list answers with the nearest entry when the pointer is beside it.
    const int index = PtInRect(&client, at) && HIWORD(found) == 0 ? LOWORD(found) : -1;
    if (index == Hovered) return;
    if (index < 0) {
        HideListTip();
        return;
    }
    ShowListTip(index);
}

// The tip stands right of the list, level with the entry. It is shown anew so that it
// asks for the entry's text and takes its size.
void ComPortTips::ShowListTip(int index) {
    TOOLINFOW tool = Tool(Combo, TTF_TRACK, ListToolId);
    SendMessageW(ListTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    Hovered = index;
    RECT entry{};
    SendMessageW(List, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
    RECT list{};
    GetWindowRect(List, &list);
    POINT top{0, entry.top};
    ClientToScreen(List, &top);
    SendMessageW(ListTip, TTM_TRACKPOSITION, 0, MAKELPARAM(list.right, top.y));
    SendMessageW(ListTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void ComPortTips::HideListTip() {
    TOOLINFOW tool = Tool(Combo, TTF_TRACK, ListToolId);
    SendMessageW(ListTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    Hovered = -1;
}
