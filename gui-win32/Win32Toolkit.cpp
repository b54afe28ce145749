#include "gui-win32/Win32Toolkit.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "os/Utf16_win32.h"

Win32Toolkit::Win32Toolkit()
    : WindowThread(GetCurrentThreadId()),
      // A window already gone drops the message; the cancelling that comes with its end
      // releases the waiting request.
      Requests([this] { return GetCurrentThreadId() == WindowThread; },
               [this] { PostMessageW(Dialog, RequestMessage, 0, 0); }) {}

void Win32Toolkit::Attach(HWND dialog) { Dialog = dialog; }

void Win32Toolkit::RunRequest() { Requests.RunNext(); }

void Win32Toolkit::SetSignalView(std::function<void(const SignalReading&)> show) { SignalView = std::move(show); }

void Win32Toolkit::ShowSignal(const SignalReading& reading) {
    Requests.Run([this, reading] {
        if (SignalView) SignalView(reading);
    });
}

void Win32Toolkit::CancelRequests() { Requests.Cancel(); }

LRESULT Win32Toolkit::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendDlgItemMessageW(Dialog, id, message, wParam, lParam);
}

void Win32Toolkit::ShowMessage(const std::string& text, const std::string& caption) {
    Requests.Run([this, text, caption] {
        MessageBoxW(Dialog, gToUtf16(text).c_str(), gToUtf16(caption).c_str(), MB_OK | MB_ICONINFORMATION);
    });
}

bool Win32Toolkit::AskYesNo(const std::string& text, const std::string& caption) {
    return Requests.Run<bool>(false, [this, text, caption] {
        return MessageBoxW(Dialog, gToUtf16(text).c_str(), gToUtf16(caption).c_str(),
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    });
}

void Win32Toolkit::ComboClear(int id) {
    Requests.Run([this, id] { Send(id, CB_RESETCONTENT); });
}

void Win32Toolkit::ComboAppend(int id, const std::string& text) {
    Requests.Run([this, id, text] { Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gToUtf16(text).c_str())); });
}

// An index outside the list leaves no entry selected: said outright, as not every
// implementation of the list drops the old selection by itself.
void Win32Toolkit::ComboSelect(int id, int index) {
    Requests.Run([this, id, index] {
        const bool inside = index >= 0 && index < static_cast<int>(Send(id, CB_GETCOUNT));
        Send(id, CB_SETCURSEL, static_cast<WPARAM>(inside ? index : -1));
    });
}

int Win32Toolkit::ComboSelected(int id) {
    return Requests.Run<int>(-1, [this, id] { return static_cast<int>(Send(id, CB_GETCURSEL)); });
}

std::string Win32Toolkit::ComboText(int id) {
    return Requests.Run<std::string>({}, [this, id] {
        const LRESULT selected = Send(id, CB_GETCURSEL);
        if (selected == CB_ERR) return std::string();
        const LRESULT length = Send(id, CB_GETLBTEXTLEN, selected);
        if (length == CB_ERR) return std::string();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(Send(id, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data())));
        return gFromUtf16(text.data(), text.size());
    });
}

void Win32Toolkit::SetControlText(int id, const std::string& text) {
    Requests.Run([this, id, text] { SetDlgItemTextW(Dialog, id, gToUtf16(text).c_str()); });
}

int Win32Toolkit::LogRowCount(int id) {
    return Requests.Run<int>(0, [this, id] { return static_cast<int>(Send(id, LVM_GETITEMCOUNT)); });
}

void Win32Toolkit::LogInsertRow(int id, int position, const std::string& text) {
    Requests.Run([this, id, position, text] {
        std::wstring wide = gToUtf16(text);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = std::clamp(position, 0, static_cast<int>(Send(id, LVM_GETITEMCOUNT)));
        item.pszText = wide.data();
        Send(id, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    });
}

void Win32Toolkit::LogScrollTo(int id, int row) {
    Requests.Run([this, id, row] { Send(id, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE); });
}

void Win32Toolkit::LogDeleteAll(int id) {
    Requests.Run([this, id] { Send(id, LVM_DELETEALLITEMS); });
}

// The list view copies at most the buffer it is given, so the buffer grows until the
// text fits with room to spare.
std::string Win32Toolkit::LogRowText(int id, int row) {
    return Requests.Run<std::string>({}, [this, id, row] {
        std::wstring text(256, L'\0');
        for (;;) {
            LVITEMW item{};
            item.pszText = text.data();
            item.cchTextMax = static_cast<int>(text.size());
            const auto copied = static_cast<size_t>(
                Send(id, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
            if (copied + 1 < text.size()) {
                text.resize(copied);
                return gFromUtf16(text.data(), text.size());
            }
            text.resize(text.size() * 2);
        }
    });
}
