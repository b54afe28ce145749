#include "gui-win32/AboutDlg.h"

#include "frontend/AboutText.h"
#include "gui-win32/HelpBox.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"

INT_PTR AboutDlg::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, DialogProc, 0);
}

INT_PTR CALLBACK AboutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, gToUtf16(AboutCaption).c_str());
        SetDlgItemTextW(dialog, IDC_VERSION_TEXT, gToUtf16(gAboutVersionText()).c_str());
        SetDlgItemTextW(dialog, IDC_COPYRIGHT_TEXT, gToUtf16(gAboutCopyrightText()).c_str());
        // The dialog manager gives the focus to OK.
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_HELP:
        gOnHelpKey(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
