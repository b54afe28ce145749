#include "gui-win32/TestCallDlg.h"

#include <string>

#include "engine/CallMessages.h"
#include "engine/CallNumber.h"
#include "engine/Messages.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"
#include "frontend/WindowChoices.h"

namespace {

// Longer than any number taken, so that a long one is refused with the box, not cut.
constexpr int FieldLimit = 40;

}  // namespace

bool TestCallDlg::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_CALL), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

INT_PTR CALLBACK TestCallDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<TestCallDlg*>(lParam);
        self->Dialog = dialog;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<TestCallDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) self->OnOk();
    else if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    // Only a modem in the workshop can be restarted.
    else if (LOWORD(wParam) == IDC_CALL_PORT && HIWORD(wParam) == CBN_SELCHANGE)
        EnableWindow(GetDlgItem(dialog, IDC_CALL_RESTART), self->AnswerCom() > 0);
    return TRUE;
}

// The texts come from the ones every window shares, not from the layout.
void TestCallDlg::OnInitDialog() {
    SetWindowTextW(Dialog, gToUtf16(TestCallCaption).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_NUMBER_PROMPT, gToUtf16(TestCallNumberPrompt).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_PORT_PROMPT, gToUtf16(TestCallPortPrompt).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_RESTART, gToUtf16(TestCallRestart).c_str());
    SetDlgItemTextW(Dialog, IDCANCEL, gToUtf16(SimPinCancel).c_str());
    SendDlgItemMessageW(Dialog, IDC_CALL_NUMBER, EM_LIMITTEXT, FieldLimit, 0);
    HWND ports = GetDlgItem(Dialog, IDC_CALL_PORT);
    SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gToUtf16(TestCallNoPort).c_str()));
    for (int n = 1; n <= ComPortCount; ++n)
        SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"COM" + std::to_wstring(n)).c_str()));
    SendMessageW(ports, CB_SETCURSEL, 0, 0);
    CheckDlgButton(Dialog, IDC_CALL_RESTART, BST_CHECKED);
    EnableWindow(GetDlgItem(Dialog, IDC_CALL_RESTART), FALSE);
}

int TestCallDlg::AnswerCom() const {
    const auto index = static_cast<int>(SendDlgItemMessageW(Dialog, IDC_CALL_PORT, CB_GETCURSEL, 0, 0));
    return index > 0 ? index : 0;
}

void TestCallDlg::Refuse(const char* text, int focusId) {
    MessageBoxW(Dialog, gToUtf16(text).c_str(), gToUtf16(Msg::ErrorCaption).c_str(), MB_OK | MB_ICONINFORMATION);
    SetFocus(GetDlgItem(Dialog, focusId));
}

void TestCallDlg::OnOk() {
    wchar_t typed[FieldLimit + 2] = {};
    const int length = GetDlgItemTextW(Dialog, IDC_CALL_NUMBER, typed, FieldLimit + 2);
    const std::string number = gFromUtf16(typed, static_cast<size_t>(length > 0 ? length : 0));
    if (!gIsCallNumber(number)) {
        Refuse(CallMsg::BadNumber, IDC_CALL_NUMBER);
        SendDlgItemMessageW(Dialog, IDC_CALL_NUMBER, EM_SETSEL, 0, -1);
        return;
    }
    if (AnswerCom() == CallerCom) return Refuse(CallMsg::SamePort, IDC_CALL_PORT);
    Accepted = CallRequest{number, AnswerCom(),
                           AnswerCom() > 0 && IsDlgButtonChecked(Dialog, IDC_CALL_RESTART) == BST_CHECKED};
    EndDialog(Dialog, IDOK);
}
