#pragma once
// The small dialog that asks for the SIM card's PIN: a password field that takes digits
// only, "OK" and "Отмена". OK refuses anything but 4 to 8 digits with a box and stays
// open, so a malformed PIN never reaches the job; the field is emptied once read.

#include <QDialog>

#include <string>

class QLineEdit;

class SimPinDlg : public QDialog {
    Q_OBJECT
public:
    explicit SimPinDlg(QWidget* owner);
    ~SimPinDlg() override;

    // The PIN that OK accepted, handed over once: the dialog keeps no copy.
    std::string TakePin();

    void accept() override;

private:
    QLineEdit* Field = nullptr;
    std::string Pin;
};
