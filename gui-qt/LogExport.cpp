#include "gui-qt/LogExport.h"

#include <QMessageBox>
#include <QString>

#include "frontend/LogFile.h"
#include "os/ErrorText.h"
#include "os/TextFile.h"

namespace {

void ShowBox(QWidget* owner, const LogFileBox& box) {
    QMessageBox shown(box.Critical ? QMessageBox::Critical : QMessageBox::Information,
                      QString::fromStdString(box.Caption), QString::fromStdString(box.Text), QMessageBox::Ok, owner);
    // The text holds a system message and a path as they are.
    shown.setTextFormat(Qt::PlainText);
    shown.exec();
}

}  // namespace

int gWriteTxtFile(const std::string& path, const std::string& text, QWidget* owner) {
    const WriteOutcome outcome = gWriteWholeFile(path, text);
    if (outcome.Stage == WriteStage::Done) return 1;
    ShowBox(owner, gDescribeWriteFailure(path, outcome.Stage, gGetErrorText(outcome.Code)));
    return 0;
}

void gSaveLogTo(Toolkit& window, const std::string& chosen, QWidget* owner) {
    const std::optional<std::string> path = gAdjustLogPath(chosen);
    if (!path) {
        ShowBox(owner, gPathRefusedBox());
        return;
    }
    gWriteTxtFile(*path, gJoinLogRows(window), owner);
}
