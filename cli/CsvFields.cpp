#include "cli/CsvFields.h"

#include <string_view>

#include "os/ErrorText.h"
#include "os/TextFile.h"

std::string gCsvField(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string gInertText(const std::string& text) {
    if (!text.empty() && std::string_view("=+-@").find(text[0]) != std::string_view::npos) return "'" + text;
    return text;
}

std::string gCsvRow(const std::string* fields, size_t count) {
    std::string row;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) row += ';';
        row += gCsvField(fields[i]);
    }
    return row + "\r\n";
}

std::string gWriteReportFile(const std::string& path, const std::string& text) {
    const WriteOutcome written = gReplaceWholeFile(path, text);
    if (written.Stage == WriteStage::Done) return {};
    std::string cause = gGetErrorText(written.Code);
    while (!cause.empty() && (cause.back() == '\n' || cause.back() == '\r')) cause.pop_back();
    return cause.empty() ? "error " + std::to_string(written.Code) : cause;
}
