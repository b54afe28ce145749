#pragma once
// The save-file dialog of the Save-log button: save mode, one filter for text files, no
// suffix added to a typed name, and a question both before replacing an existing file and
// before creating a new one.

#include <QFileDialog>
#include <optional>
#include <string>

class SaveLogDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit SaveLogDialog(QWidget* owner);

public slots:
    void accept() override;

private:
    bool AskToCreate(const QString& name);
};

// Runs the dialog modally; the chosen path (UTF-8), or nothing when the operator cancelled.
std::optional<std::string> gAskSaveLogPath(QWidget* owner);
