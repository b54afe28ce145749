#include "gui-qt/SaveLogDialog.h"

#include <QFileInfo>
#include <QMessageBox>

#include "frontend/LogFile.h"

SaveLogDialog::SaveLogDialog(QWidget* owner) : QFileDialog(owner, QString::fromUtf8(SaveLogTitle)) {
    setObjectName(QStringLiteral("saveLogDialog"));
    // The widget dialog on every platform: a native one would not let the creation
    // question be asked while the dialog is still open.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilter(QString::fromUtf8(LogFilterName));
}

bool SaveLogDialog::AskToCreate(const QString& name) {
    QMessageBox question(QMessageBox::Warning, windowTitle(), QStringLiteral("%1 не существует.\nСоздать его?").arg(name),
                         QMessageBox::Yes | QMessageBox::No, this);
    // Typing a name and pressing Enter twice saves, as at the native prompt.
    question.setDefaultButton(QMessageBox::Yes);
    // A file name is shown as typed, whatever characters it holds.
    question.setTextFormat(Qt::PlainText);
    return question.exec() == QMessageBox::Yes;
}

void SaveLogDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty()) {
        const QFileInfo file(chosen.first());
        // An existing file gets the dialog's own replace question; a new one is asked about
        // here, in the same manner, and "No" leaves the dialog open for another choice.
        if (!file.exists() && !file.fileName().isEmpty() && !AskToCreate(file.fileName())) return;
    }
    QFileDialog::accept();
}

std::optional<std::string> gAskSaveLogPath(QWidget* owner) {
    SaveLogDialog dialog(owner);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}
