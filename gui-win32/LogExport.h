#pragma once
// Saving the operation log as a text file from the Win32 window, by the shared rules of
// frontend/LogFile.h, with every box it shows owned by the given window.

#include <windows.h>

#include <optional>
#include <string>

class Toolkit;

// The save dialog: the path the operator chose, or nothing when the dialog was cancelled.
// A path too long to save to comes back empty, which the rules of the log refuse.
std::optional<std::string> gAskSaveLogPath(HWND owner);

// Writes text to path, creating or emptying the file. 1 when written; 0 after telling the
// operator why the file could not be opened, written or closed.
int gWriteTxtFile(const std::string& path, const std::string& text, HWND owner);

// Everything the Save-log button does once the operator has chosen a path.
void gSaveLogTo(Toolkit& window, const std::string& chosen, HWND owner);
