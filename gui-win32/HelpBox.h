#pragma once
// F1: the same short Russian help as every window shows, in a message box.

#include <windows.h>

// Shows the help owned by owner, unless Shift, Ctrl or Alt is held with F1.
void gOnHelpKey(HWND owner);
