#pragma once
// The small dialog that asks for a test call: the number to dial, the COM port of the
// device's modem when it is in the workshop (first entry: none, it is at the meter) and
// whether to restart it first (checked, and only offered with a port). OK refuses, by the
// rules of frontend/TestCallForm.h, a number that cannot be dialled and the calling
// modem's own port, with a box and stays open.

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
    const int CallerCom;
    QLineEdit* Number = nullptr;
    QComboBox* AnswerCom = nullptr;
    QCheckBox* Restart = nullptr;
    CallRequest Accepted;
};
