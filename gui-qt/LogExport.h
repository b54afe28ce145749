#pragma once
// Saving the operation log as a text file from the Qt window, by the shared rules of
// frontend/LogFile.h, with every box it shows owned by the given window.

#include <string>

class QWidget;
class Toolkit;

// Writes text to path, creating or emptying the file. 1 when written; 0 after telling the
// operator why the file could not be opened, written or closed.
int gWriteTxtFile(const std::string& path, const std::string& text, QWidget* owner);

// Everything the Save-log button does once the operator has chosen a path.
void gSaveLogTo(Toolkit& window, const std::string& chosen, QWidget* owner);
