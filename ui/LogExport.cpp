#include "ui/LogExport.h"

#include <QHash>
#include <QMessageBox>
#include <QString>
#include <QStringDecoder>

#include <string_view>

#include "serial/SerialPort.h"
#include "ui/ControlIds.h"
#include "ui/TextFile.h"
#include "ui/Toolkit.h"

namespace {

constexpr char TxtSuffix[] = ".txt";

void ShowBox(QWidget* owner, QMessageBox::Icon icon, const std::string& text, const char* caption) {
    QMessageBox box(icon, QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::Ok, owner);
    box.exec();
}

// Unicode to code page 1251 for the characters that have a form there. Built from the
// code page's own decoding, so it holds exactly the round-trip mappings: the system's
// encoder would write its substitution byte 0x1A instead of "?" for the others.
const QHash<char32_t, char>& Cp1251Bytes() {
    static const QHash<char32_t, char> table = [] {
        QHash<char32_t, char> t;
        QStringDecoder decoder("windows-1251");
        for (int b = 0; b < 256; ++b) {
            const QString c = decoder.decode(QByteArray(1, static_cast<char>(b)));
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter)
                t.insert(c[0].unicode(), static_cast<char>(b));
        }
        return t;
    }();
    return table;
}

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

std::string gToCp1251(const std::string& utf8) {
    const auto& table = Cp1251Bytes();
    std::string out;
    // A character outside the basic plane counts once, as it does for the operator.
    for (const char32_t c : QString::fromUtf8(utf8).toUcs4()) out += table.value(c, '?');
    return out;
}

std::string gJoinLogRows(Toolkit& window) {
    std::string text;
    for (int row = 0; row < window.LogRowCount(ControlId::LogView); ++row)
        text += gToCp1251(window.LogRowText(ControlId::LogView, row)) + "\r\n";
    return text;
}

int gWriteTxtFile(const std::string& path, const std::string& text, QWidget* owner) {
    const WriteOutcome outcome = gWriteWholeFile(path, text);
    if (outcome.Stage == WriteStage::Done) return 1;

    const std::string cause = gGetErrorText(outcome.Code);
    if (outcome.Stage == WriteStage::Open) {
        ShowBox(owner, QMessageBox::Information, cause + " (gWriteTxtFile (1) - " + path + ")",
                "Информация");
    } else {
        // Whatever was written before the failure stays; the operator learns the cause and
        // the file, and the utility goes on.
        const std::string what = outcome.Stage == WriteStage::Write ? "Ошибка при записи файла "
                                                                    : "Ошибка при закрытии файла ";
        ShowBox(owner, QMessageBox::Critical, what + path + ":\n" + cause, "Ошибка");
    }
    return 0;
}

void gSaveLogTo(Toolkit& window, const std::string& chosen, QWidget* owner) {
    const std::optional<std::string> path = gAdjustLogPath(chosen);
    if (!path) {
        ShowBox(owner, QMessageBox::Information, "Ошибка выполнения!", "Ошибка");
        return;
    }
    gWriteTxtFile(*path, gJoinLogRows(window), owner);
}
