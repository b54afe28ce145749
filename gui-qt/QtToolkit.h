#pragma once
// The Qt window's side of the Toolkit boundary. The controls belong to the thread that
// created this object (the window thread), which carries out the requests of other
// threads by the rules of toolkit/WindowRequests.h, woken by a queued call.

#include <QObject>

#include <functional>
#include <map>
#include <string>

#include "toolkit/Toolkit.h"
#include "toolkit/WindowRequests.h"

class QComboBox;
class LogView;
class QWidget;

class QtToolkit : public QObject, public Toolkit {
    Q_OBJECT
public:
    // window: the owner of the message boxes.
    explicit QtToolkit(QWidget& window);

    // Controls the boundary reaches by id. A text control is a button or a label.
    void AddCombo(int id, QComboBox* combo);
    void AddTextControl(int id, QWidget* control);
    void AddLog(int id, LogView* log);

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ComboClear(int id) override;
    void ComboAppend(int id, const std::string& text) override;
    void ComboSelect(int id, int index) override;
    int ComboSelected(int id) override;
    std::string ComboText(int id) override;
    void SetControlText(int id, const std::string& text) override;
    int LogRowCount(int id) override;
    void LogInsertRow(int id, int position, const std::string& text) override;
    void LogScrollTo(int id, int row) override;
    void LogDeleteAll(int id) override;
    std::string LogRowText(int id, int row) override;
    // Where the signal job's readings go on the window thread; none drops them.
    void SetSignalView(std::function<void(const SignalReading&)> show);
    void ShowSignal(const SignalReading& reading) override;
    void CancelRequests() override;

private:
    QComboBox* Combo(int id) const;
    LogView* Log(int id) const;

    QWidget& Window;
    std::map<int, QComboBox*> Combos;
    std::map<int, QWidget*> TextControls;
    std::map<int, LogView*> Logs;
    std::function<void(const SignalReading&)> SignalView;

    WindowRequests Requests;
};
