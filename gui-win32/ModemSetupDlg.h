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
#include "frontend/WindowMenu.h"
#include "gui-win32/ComPortList.h"
#include "gui-win32/LogRowTips.h"
#include "gui-win32/SignalMeter.h"
#include "gui-win32/Win32Toolkit.h"

class ModemSetupDlg : public ConfigEngine {
public:
    // The system menu's commands of frontend/WindowMenu.h, as programs send them.
    static constexpr UINT AboutCommand = static_cast<UINT>(MenuCommand::About);
    static constexpr UINT CheckCommand = static_cast<UINT>(MenuCommand::CheckModem);
    static constexpr UINT SignalCommand = static_cast<UINT>(MenuCommand::SignalMeter);
    static constexpr UINT SimPinCommand = static_cast<UINT>(MenuCommand::SimPin);
    static constexpr UINT TestCallCommand = static_cast<UINT>(MenuCommand::TestCall);

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
    bool OnMenuCommand(UINT command);
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
