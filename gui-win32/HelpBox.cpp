#include "gui-win32/HelpBox.h"

#include "frontend/HelpText.h"
#include "os/Utf16_win32.h"

namespace {

bool IsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void gOnHelpKey(HWND owner) {
    if (IsDown(VK_SHIFT) || IsDown(VK_CONTROL) || IsDown(VK_MENU)) return;
    MessageBoxW(owner, gToUtf16(gHelpText()).c_str(), gToUtf16(HelpCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}
