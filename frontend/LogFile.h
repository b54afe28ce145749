#pragma once
// The rules of saving the operation log, shared by every window: the path the operator
// chose is made to end in ".txt", the rows are joined into code page 1251 text with CR LF
// after each row, and a failure is told in the same words whichever window shows it.

#include <optional>
#include <string>

#include "os/TextFile.h"

class Toolkit;

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
