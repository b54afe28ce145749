#pragma once
// The main window, which is also the configuration engine: four selectors, the
// Start/Stop button, the status line, the operation log and the Save-log button. The
// engine's worker reaches the controls only through the Qt toolkit boundary (Kit).
//
// Enter presses the push button that has the focus, and nothing else (FocusDefaultButton).
// The dialog never ends on Enter or Esc: only the close path (close box, Alt+F4, the
// window menu's Close) ends it, at once, also during a job, and the worker is ended
// before any control goes.

#include <QDialog>
#include <QIcon>

#include "engine/ConfigEngine.h"
#include "frontend/WindowMenu.h"
#include "gui-qt/QtToolkit.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class LogView;
class SignalMeter;

class ModemSetupDlg : public QDialog, public ConfigEngine {
    Q_OBJECT
public:
    explicit ModemSetupDlg(IntSettings& settings, QWidget* parent = nullptr);
    ~ModemSetupDlg() override;

    // A command of the window menu; on this platform the dialog's context menu carries
    // the About item (its command's lowest four bits are ignored).
    void OnSysCommand(int id);
    // An item of the window menu (frontend/WindowMenu.h) chosen.
    void OnMenuCommand(MenuCommand command);
    // F1 without Shift, Ctrl or Alt.
    void OnHelp();
    // The Save-log button.
    void OnSaveLog();
    // The signal meter's item: opens the meter window and starts the signal job.
    void OnSignalMeter();
    // The PIN item: asks for the PIN in its dialog and starts the PIN job with it.
    void OnSimPinItem();
    // The test call's item: asks for the call in its dialog and starts it.
    void OnTestCallItem();

    // Confirm: nothing. Cancel (Esc): nothing unless the window is being closed.
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildLayout();
    void OnInitDialog();

    int32_t CloseRequested = 0;
    LogView* Log = nullptr;
    QPushButton* StartStop = nullptr;
    QComboBox* PlaceSelector = nullptr;
    QComboBox* SpeedSelector = nullptr;
    QComboBox* ModelSelector = nullptr;
    QLabel* StatusLine = nullptr;
    QComboBox* ComSelector = nullptr;
    QIcon Icon;

    QtToolkit Kit{*this};
    QMenu* SystemMenu = nullptr;
    SignalMeter* Meter = nullptr;
    bool Initialised = false;
};
