#pragma once
// The small dialog on layout 103 that asks for the SIM card's PIN: a password edit that
// takes digits only (ES_PASSWORD | ES_NUMBER, at most 8), "OK" and "Отмена". OK refuses
// anything but 4 to 8 digits (a paste gets past ES_NUMBER) with a box and stays open.

#include <windows.h>

#include <string>

class SimPinDlg {
public:
    SimPinDlg() = default;
    ~SimPinDlg();
    SimPinDlg(const SimPinDlg&) = delete;
    SimPinDlg& operator=(const SimPinDlg&) = delete;

    // Runs the dialog modally; true when OK took a PIN.
    bool DoModal(HWND owner);
    // The PIN that OK took, handed over once: the dialog keeps no copy.
    std::string TakePin();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnOk();

    HWND Dialog = nullptr;
    std::string Pin;
};
