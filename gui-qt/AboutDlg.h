#pragma once
// The About box: the application icon, the product name with the version, and a copyright
// line with the build date. It changes nothing; OK, Esc and the close box end it.

#include <QDialog>

class QLabel;

class AboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit AboutDlg(QWidget* owner = nullptr);

signals:
    // F1 without modifiers: the owner runs its help action.
    void HelpRequested();

private:
    QLabel* CopyrightText;
    QLabel* VersionText;
};
