#include "gui-win32/TestCallDlg.h"

#include <string>
#include <variant>

#include "frontend/TestCallForm.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/RefusalBox.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"

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
    else if (LOWORD(wParam) == IDC_CALL_PORT && HIWORD(wParam) == CBN_SELCHANGE)
        EnableWindow(GetDlgItem(dialog, IDC_CALL_RESTART), gOffersRestart(self->AnswerCom()));
    return TRUE;
}

// The texts come from the ones every window shares, not from the layout.
void TestCallDlg::OnInitDialog() {
    SetWindowTextW(Dialog, gToUtf16(TestCallCaption).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_NUMBER_PROMPT, gToUtf16(TestCallNumberPrompt).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_PORT_PROMPT, gToUtf16(TestCallPortPrompt).c_str());
    SetDlgItemTextW(Dialog, IDC_CALL_RESTART, gToUtf16(TestCallRestart).c_str());
    SetDlgItemTextW(Dialog, IDCANCEL, gToUtf16(CancelButtonText).c_str());
    SendDlgItemMessageW(Dialog, IDC_CALL_NUMBER, EM_LIMITTEXT, CallNumberFieldLimit, 0);
    HWND ports = GetDlgItem(Dialog, IDC_CALL_PORT);
    SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gToUtf16(TestCallNoPort).c_str()));
    for (int n = 1; n <= ComPortCount; ++n)
        SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"COM" + std::to_wstring(n)).c_str()));
    SendMessageW(ports, CB_SETCURSEL, 0, 0);
    CheckDlgButton(Dialog, IDC_CALL_RESTART, BST_CHECKED);
    EnableWindow(GetDlgItem(Dialog, IDC_CALL_RESTART), gOffersRestart(0));
}

int TestCallDlg::AnswerCom() const {
    const auto index = static_cast<int>(SendDlgItemMessageW(Dialog, IDC_CALL_PORT, CB_GETCURSEL, 0, 0));
    return index > 0 ? index : 0;
}

void TestCallDlg::OnOk() {
    wchar_t typed[CallNumberFieldLimit + 2] = {};
    const int length = GetDlgItemTextW(Dialog, IDC_CALL_NUMBER, typed, CallNumberFieldLimit + 2);
    const TestCallForm form{gFromUtf16(typed, static_cast<size_t>(length > 0 ? length : 0)), AnswerCom(),
                            IsDlgButtonChecked(Dialog, IDC_CALL_RESTART) == BST_CHECKED};
    const auto taken = gTakeTestCall(form, CallerCom);
    if (const auto* refused = std::get_if<FormRefusal>(&taken)) {
        gShowRefusal(Dialog, *refused);
        if (refused->Focus == FormField::AnswerCom) {
            SetFocus(GetDlgItem(Dialog, IDC_CALL_PORT));
            return;
        }
        SetFocus(GetDlgItem(Dialog, IDC_CALL_NUMBER));
        SendDlgItemMessageW(Dialog, IDC_CALL_NUMBER, EM_SETSEL, 0, -1);
        return;
    }
    Accepted = std::get<CallRequest>(taken);
    EndDialog(Dialog, IDOK);
}
