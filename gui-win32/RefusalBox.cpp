#include "gui-win32/RefusalBox.h"

#include "frontend/FormRefusal.h"
#include "os/Utf16_win32.h"

void gShowRefusal(HWND owner, const FormRefusal& refusal) {
    MessageBoxW(owner, gToUtf16(refusal.Text).c_str(), gToUtf16(refusal.Caption).c_str(), MB_OK | MB_ICONINFORMATION);
}
