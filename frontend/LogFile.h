#pragma once
// The rules of saving the operation log, shared by every window: the save dialog's title
// and filter, the path the operator chose made to end in ".txt", the rows joined into code
// page 1251 text with CR LF after each row, written in one write, and a failure told in the
// same words whichever window shows it.

#include <functional>
#include <optional>
#include <string>

#include "os/TextFile.h"

class Toolkit;

// The save dialog's title and its one filter, as description and pattern.
inline constexpr const char* SaveLogTitle = "Сохранить...";
inline constexpr const char* LogFilterName = "Текстовые файлы (*.txt)";
inline constexpr const char* LogFilterPattern = "*.txt";

// The chosen path with every ".txt" of its name removed in one left-to-right pass and
// ".txt" appended; the folder is kept as it is. Empty when the path has no separator.
std::optional<std::string> gAdjustLogPath(const std::string& chosen);

// The log view's rows, top to bottom, each followed by CR LF, as code page 1251.
std::string gJoinLogRows(Toolkit& window);

// A box to show: its text, its caption and whether it carries the stop icon rather than
// the information icon.
struct LogFileBox {
    std::string Text;
    std::string Caption;
    bool Critical = false;
};

// What to tell the operator when the log could not be written to path; cause is the
// system's text for the outcome's code.
LogFileBox gDescribeWriteFailure(const std::string& path, WriteStage stage, const std::string& cause);

// What to tell the operator when the chosen path has no folder to save into.
LogFileBox gPathRefusedBox();

// Shows a box, owned by the window that saves.
using ShowLogFileBox = std::function<void(const LogFileBox&)>;

// Writes text to path, creating or emptying the file. 1 when written; 0 after telling the
// operator why the file could not be opened, written or closed.
int gWriteLogFile(const std::string& path, const std::string& text, const ShowLogFileBox& show);

// Everything the Save-log button does once the operator has chosen a path.
void gSaveLog(Toolkit& window, const std::string& chosen, const ShowLogFileBox& show);
