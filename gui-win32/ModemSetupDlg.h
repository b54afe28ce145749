#pragma once
// The main window on layout 102, which is also the configuration engine: four selectors,
// the Start/Stop button, the status line, the operation log and the Save-log button. The
// engine's worker reaches the controls only through the Win32 toolkit boundary (Kit).
//
// The dialog never ends on Enter or Esc: only the close path (close box, Alt+F4, Close in
// the system menu) ends it, at once, also during a job. The worker is ended while the
// window goes, before its controls do.

#include <windows.h>

#include <memory>

#include "engine/ConfigEngine.h"
#include "gui-win32/ComPortList.h"
#include "gui-win32/LogRowTips.h"
#include "gui-win32/SignalMeter.h"
#include "gui-win32/Win32Toolkit.h"

class ModemSetupDlg : public ConfigEngine {
public:
    // The system command that opens the About box (its lowest four bits are ignored).
    static constexpr UINT AboutCommand = 16;
    // The system command that runs the modem check.
    static constexpr UINT CheckCommand = 32;
    // The system command that opens the signal meter and starts the signal job.
    static constexpr UINT SignalCommand = 48;
    // The system command that asks for the SIM card's PIN and starts the PIN job.
    static constexpr UINT SimPinCommand = 64;
    // The system command that asks for a test call and starts it.
    static constexpr UINT TestCallCommand = 80;
    // The system menu's items that start a run: greyed while one is busy.
    static constexpr UINT RunCommands[] = {CheckCommand, SignalCommand, SimPinCommand, TestCallCommand};

    // With no parent window, as start-up makes it.
    explicit ModemSetupDlg(IntSettings& settings);
    ~ModemSetupDlg() override;

    // Shows the dialog and returns when it has ended, with IDCANCEL.
    INT_PTR DoModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnCommand(WORD id, WORD code);
    void RunAboutBox();
    bool OnPaint();
    void OnSaveLog();
    void OnSignalMeter();
    void OnSimPinItem();
    void OnTestCallItem();
    void GreyRunItems(HMENU menu) const;

    HWND Dialog = nullptr;

    int32_t CloseRequested = 0;
    // The system's shared copy of icon 128: not released.
    const HICON Icon;

    Win32Toolkit Kit;
    std::unique_ptr<SignalMeter> Meter;
    std::unique_ptr<ComPortList> ComList;
    std::unique_ptr<LogRowTips> RowTips;
};
