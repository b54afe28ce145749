// How the engine writes to the operator: the status line, the log view, message boxes.

#include "engine/ConfigEngine.h"
#include "engine/Messages.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

Toolkit* ConfigEngine::Window() const { return IsEnding() ? nullptr : Owner; }

bool ConfigEngine::IsEnding() const { return Ending.IsSignalled(); }

void ConfigEngine::ShowStatus(const std::string& text) {
    if (Toolkit* w = Window()) w->SetControlText(ControlId::StatusLine, text);
}

void ConfigEngine::AppendLogRow(const std::string& text) {
    Toolkit* w = Window();
    if (!w) return;
    w->LogInsertRow(ControlId::LogView, w->LogRowCount(ControlId::LogView), text);
    w->LogScrollTo(ControlId::LogView, w->LogRowCount(ControlId::LogView) - 1);
}

void ConfigEngine::ShowError(const std::string& text) {
    if (Toolkit* w = Window()) w->ShowMessage(text, Msg::ErrorCaption);
}

void ConfigEngine::ReportProgress(const std::string& text) {
    ShowStatus(text);
    AppendLogRow(text);
}

void ConfigEngine::ReportFailure(const std::string& text) {
    AppendLogRow(text);
    ShowError(text);
}

std::string ConfigEngine::StripLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}
