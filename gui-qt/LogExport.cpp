#include "gui-qt/LogExport.h"

#include <QMessageBox>
#include <QString>

#include "frontend/LogFile.h"

namespace {

ShowLogFileBox BoxesOf(QWidget* owner) {
    return [owner](const LogFileBox& box) {
        QMessageBox shown(box.Critical ? QMessageBox::Critical : QMessageBox::Information,
                          QString::fromStdString(box.Caption), QString::fromStdString(box.Text), QMessageBox::Ok,
                          owner);
        // The text holds a system message and a path as they are.
        shown.setTextFormat(Qt::PlainText);
        shown.exec();
    };
}

}  // namespace

int gWriteTxtFile(const std::string& path, const std::string& text, QWidget* owner) {
    return gWriteLogFile(path, text, BoxesOf(owner));
}

void gSaveLogTo(Toolkit& window, const std::string& chosen, QWidget* owner) {
    gSaveLog(window, chosen, BoxesOf(owner));
}
