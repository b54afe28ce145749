#include "gui-win32/SimPinDlg.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/PinRows.h"
#include "frontend/SimPinForm.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/RefusalBox.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"

SimPinDlg::~SimPinDlg() { std::fill(Pin.begin(), Pin.end(), '\0'); }

bool SimPinDlg::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SIM_PIN), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

std::string SimPinDlg::TakePin() { return std::exchange(Pin, std::string()); }

INT_PTR CALLBACK SimPinDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<SimPinDlg*>(lParam);
        self->Dialog = dialog;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<SimPinDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) self->OnOk();
    else if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

// The texts come from the ones every window shares, not from the layout.
void SimPinDlg::OnInitDialog() {
    SetWindowTextW(Dialog, gToUtf16(SimPinCaption).c_str());
    SetDlgItemTextW(Dialog, IDC_PIN_PROMPT, gToUtf16(SimPinPrompt).c_str());
    SetDlgItemTextW(Dialog, IDCANCEL, gToUtf16(CancelButtonText).c_str());
    SendDlgItemMessageW(Dialog, IDC_PIN_FIELD, EM_LIMITTEXT, LongestPin, 0);
}

void SimPinDlg::OnOk() {
    HWND field = GetDlgItem(Dialog, IDC_PIN_FIELD);
    wchar_t typed[LongestPin + 2] = {};
    const int length = GetWindowTextW(field, typed, LongestPin + 2);
    std::string pin = gFromUtf16(typed, static_cast<size_t>(std::max(length, 0)));
    std::fill(std::begin(typed), std::end(typed), L'\0');
    if (const std::optional<FormRefusal> refused = gRefusePin(pin)) {
        std::fill(pin.begin(), pin.end(), '\0');
        gShowRefusal(Dialog, *refused);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        return;
    }
    Pin = std::move(pin);
    SetWindowTextW(field, L"");
    EndDialog(Dialog, IDOK);
}
