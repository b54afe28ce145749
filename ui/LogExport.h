#pragma once
// Saving the operation log as a text file: the path the operator chose is made to end in
// ".txt", the rows are joined into code page 1251 text with CR LF after each row, and the
// text goes to the file in one write. Every box it shows is owned by the given window.

#include <optional>
#include <string>

class QWidget;
class Toolkit;

// The chosen path with every ".txt" of its name removed in one left-to-right pass and
// ".txt" appended; the folder is kept as it is. Empty when the path has no separator.
std::optional<std::string> gAdjustLogPath(const std::string& chosen);

// Code page 1251 bytes of a UTF-8 text; a character without a form there becomes "?".
std::string gToCp1251(const std::string& utf8);

// The log view's rows, top to bottom, each followed by CR LF, as code page 1251.
std::string gJoinLogRows(Toolkit& window);

// Writes text to path, creating or emptying the file. 1 when written; 0 after telling the
// operator why the file could not be opened, written or closed.
int gWriteTxtFile(const std::string& path, const std::string& text, QWidget* owner);

// Everything the Save-log button does once the operator has chosen a path.
void gSaveLogTo(Toolkit& window, const std::string& chosen, QWidget* owner);
