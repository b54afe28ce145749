#pragma once
// The small dialog on layout 104 that asks for a test call: the number to dial, the COM
// port of the device's modem when it is in the workshop (first entry: none, it is at the
// meter) and whether to restart it first (checked, and only offered with a port). OK
// refuses, by the rules of frontend/TestCallForm.h, a number that cannot be dialled and
// the calling modem's own port, with a box and stays open.

#include <windows.h>

#include "engine/CallOutcome.h"

class TestCallDlg {
public:
    // callerCom: the calling modem's COM number, which the device's modem cannot share.
    explicit TestCallDlg(int callerCom) : CallerCom(callerCom) {}

    // Runs the dialog modally; true when OK took a call.
    bool DoModal(HWND owner);
    CallRequest Request() const { return Accepted; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnOk();
    int AnswerCom() const;

    HWND Dialog = nullptr;
    const int CallerCom;
    CallRequest Accepted;
};
