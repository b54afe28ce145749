#pragma once
// The small dialog that asks for a test call: the number to dial, the COM port of the
// device's modem when it is in the workshop (first entry: none, it is at the meter) and
// whether to restart it first (checked). OK refuses a number that is not 3 to 20 digits
// with an optional leading +, and the calling modem's own port, with a box and stays open.

#include <QDialog>

#include "engine/CallOutcome.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class TestCallDlg : public QDialog {
    Q_OBJECT
public:
    // callerCom: the calling modem's COM number, which the device's modem cannot share.
    TestCallDlg(QWidget* owner, int callerCom);

    // What OK accepted.
    CallRequest Request() const { return Accepted; }

    void accept() override;

private:
    void Refuse(const char* text, QWidget* focus);

    const int CallerCom;
    QLineEdit* Number = nullptr;
    QComboBox* AnswerCom = nullptr;
    QCheckBox* Restart = nullptr;
    CallRequest Accepted;
};
