#pragma once
// The About box on layout 100: the application icon, the product name with the version,
// and a copyright line with the build date. It changes nothing; OK, Esc and the close box
// end it.

#include <windows.h>

class AboutDlg {
public:
    // Runs the box modally, owned by owner.
    INT_PTR DoModal(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
