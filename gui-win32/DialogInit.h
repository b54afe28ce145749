#pragma once
// A dialog layout may carry the first entries of its drop-down lists in a resource of
// its own beside the layout (RT_DIALOG_INIT, same id): records of control id, message,
// byte count and code page 1251 bytes, ended by a zero id.

#include <windows.h>

// Adds those entries to the dialog's lists, in their order; a layout without them adds nothing.
void gApplyDialogInit(HWND dialog, HINSTANCE instance, int layoutId);
