#include "frontend/LogFile.h"

#include <string_view>

#include "engine/Cp1251.h"
#include "os/ErrorText.h"
#include "toolkit/ControlIds.h"
#include "toolkit/Toolkit.h"

namespace {

constexpr char TxtSuffix[] = ".txt";

}  // namespace

std::optional<std::string> gAdjustLogPath(const std::string& chosen) {
    const size_t cut = chosen.rfind(PathSeparator);
    if (cut == std::string::npos) return std::nullopt;

    const std::string name = chosen.substr(cut + 1);
    const std::string_view suffix = TxtSuffix;
    std::string kept;
    size_t at = 0;
    for (size_t hit; (hit = name.find(suffix, at)) != std::string::npos; at = hit + suffix.size())
        kept.append(name, at, hit - at);
    kept.append(name, at);
    return chosen.substr(0, cut + 1) + kept + TxtSuffix;
}

std::string gJoinLogRows(Toolkit& window) {
    std::string text;
    for (int row = 0; row < window.LogRowCount(ControlId::LogView); ++row)
        text += gToCp1251(window.LogRowText(ControlId::LogView, row)) + "\r\n";
    return text;
}

LogFileBox gDescribeWriteFailure(const std::string& path, WriteStage stage, const std::string& cause) {
    if (stage == WriteStage::Open) return {cause + " (gWriteTxtFile (1) - " + path + ")", "Информация", false};
    // Whatever was written before the failure stays; the operator learns the cause and the
    // file, and the utility goes on.
    const std::string what = stage == WriteStage::Write ? "Ошибка при записи файла " : "Ошибка при закрытии файла ";
    return {what + path + ":\n" + cause, "Ошибка", true};
}

LogFileBox gPathRefusedBox() { return {"Ошибка выполнения!", "Ошибка", false}; }

int gWriteLogFile(const std::string& path, const std::string& text, const ShowLogFileBox& show) {
    const WriteOutcome outcome = gWriteWholeFile(path, text);
    if (outcome.Stage == WriteStage::Done) return 1;
    show(gDescribeWriteFailure(path, outcome.Stage, gGetErrorText(outcome.Code)));
    return 0;
}

void gSaveLog(Toolkit& window, const std::string& chosen, const ShowLogFileBox& show) {
    const std::optional<std::string> path = gAdjustLogPath(chosen);
    if (!path) {
        show(gPathRefusedBox());
        return;
    }
    gWriteLogFile(*path, gJoinLogRows(window), show);
}
