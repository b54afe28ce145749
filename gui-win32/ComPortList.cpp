#include "gui-win32/ComPortList.h"

#include "os/Utf16_win32.h"

namespace {

// Where an entry's text starts, as in the plain selectors.
constexpr int TextMargin = 2;

HFONT Font(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

int Height(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

HFONT BoldOf(HFONT font) {
    LOGFONTW face{};
    GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&face);
}

}  // namespace

std::wstring gComPortTip(const PortIdentity& port) {
    return L"COM" + std::to_wstring(port.Number) + L": " + gToUtf16(gDescribePort(port));
}

ComPortList::ComPortList(HWND combo, HWND plain) : Combo(combo), Bold(BoldOf(Font(combo))) {
    MatchHeights(plain);
    Tips = std::make_unique<ComPortTips>(
        Combo,
        [this] {
            const auto chosen = static_cast<int>(SendMessageW(Combo, CB_GETCURSEL, 0, 0));
            return chosen < 0 ? std::wstring() : gComPortTip(gIdentifyComPorts(chosen + 1).back());
        },
        [this](int index) {
            return index >= 0 && index < static_cast<int>(Ports.size()) ? gComPortTip(Ports[index]) : std::wstring();
        });
}

ComPortList::~ComPortList() {
    Tips.reset();
    DeleteObject(Bold);
}

// An owner-drawn selector is measured as it is made, with the system font, before the
// dialog's font comes.
void ComPortList::MatchHeights(HWND plain) const {
    SendMessageW(Combo, CB_SETITEMHEIGHT, 0, SendMessageW(plain, CB_GETITEMHEIGHT, 0, 0));
    const LRESULT field = SendMessageW(plain, CB_GETITEMHEIGHT, WPARAM(-1), 0);
    SendMessageW(Combo, CB_SETITEMHEIGHT, WPARAM(-1), field);
    // Not every implementation counts the field's border alike when its height is set:
    // the selector's outside is what has to match.
    if (const int off = Height(plain) - Height(Combo); off != 0)
        SendMessageW(Combo, CB_SETITEMHEIGHT, WPARAM(-1), field + off);
}

void ComPortList::OnNotification(WORD code) {
    if (code == CBN_DROPDOWN) {
        Ports = gIdentifyComPorts(static_cast<int>(SendMessageW(Combo, CB_GETCOUNT, 0, 0)));
    } else if (code == CBN_CLOSEUP) {
        Tips->HideListTip();
    }
}

bool ComPortList::HasDevice(int index) const {
    return index >= 0 && index < static_cast<int>(Ports.size()) && Ports[index].Presence == PortPresence::Device;
}

std::wstring ComPortList::EntryText(int index) const {
    const LRESULT length = SendMessageW(Combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(Combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// In the system's colours. The closed selector shows the chosen entry in the dialog's
// font, as the Qt window does: only the open list, just looked up, marks devices.
bool ComPortList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_COMBOBOX || item.hwndItem != Combo) return false;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int index = static_cast<int>(item.itemID);
    if (index >= 0) {
        const bool bold = (item.itemState & ODS_COMBOBOXEDIT) == 0 && HasDevice(index);
        const HGDIOBJ old = SelectObject(item.hDC, bold ? Bold : Font(Combo));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                           : selected                       ? COLOR_HIGHLIGHTTEXT
                                                                            : COLOR_WINDOWTEXT));
        RECT text = item.rcItem;
        text.left += TextMargin;
        DrawTextW(item.hDC, EntryText(index).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(item.hDC, old);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}
