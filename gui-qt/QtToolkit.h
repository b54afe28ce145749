#pragma once
// The window side of the Toolkit boundary. The controls belong to the thread that
// created this object (the window thread): a request from there runs at once; a request
// from any other thread is posted to the window thread and waited for, so it completes
// before it returns. CancelRequests wakes every waiting request and makes every later
// one return at once without effect, whether or not the window thread still handles
// events: the window calls it before its controls go.

#include <QObject>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "toolkit/Toolkit.h"

class QComboBox;
class QTableWidget;
class QWidget;

class QtToolkit : public QObject, public Toolkit {
    Q_OBJECT
public:
    // window: the owner of the message boxes.
    explicit QtToolkit(QWidget& window);

    // Controls the boundary reaches by id. A text control is a button or a label.
    void AddCombo(int id, QComboBox* combo);
    void AddTextControl(int id, QWidget* control);
    void AddLog(int id, QTableWidget* log);

    void ShowMessage(const std::string& text, const std::string& caption) override;
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
    void CancelRequests() override;

private:
    // Runs work on the window thread and returns its result, or ifCancelled. work must
    // own what it uses: after a cancellation the caller no longer waits for it.
    template <class Result>
    Result Request(Result ifCancelled, std::function<Result()> work);
    void Request(std::function<void()> work);
    bool IsCancelled();

    QComboBox* Combo(int id) const;
    QTableWidget* Log(int id) const;

    QWidget& Window;
    std::map<int, QComboBox*> Combos;
    std::map<int, QWidget*> TextControls;
    std::map<int, QTableWidget*> Logs;

    std::mutex Mutex;
    std::condition_variable Finished;
    bool Cancelled = false;
};
