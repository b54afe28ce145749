#pragma once
// The signal meter: a small non-modal window beside the main one that shows the signal
// job's readings as they come: a bar coloured by level, the dBm figure and the words, a
// plot of the last readings with the good and weak bands shaded, the registration state
// and a Stop button. Closing it, like the button, stops the job.

#include <QWidget>

#include <deque>
#include <functional>
#include <optional>

#include "toolkit/SignalReading.h"

class QLabel;
class QPushButton;

class SignalMeter : public QWidget {
    Q_OBJECT
public:
    // stop: what the Stop button and closing the window do while the job runs.
    SignalMeter(QWidget* owner, std::function<void()> stop);

    // The next reading, or with Ended the job's end: the last reading stays on show.
    void Show(const SignalReading& reading);
    // A new job starts: the plot starts empty.
    void Restart();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Bar;
    class Plot;

    std::function<void()> Stop;
    bool Running = false;
    Bar* LevelBar = nullptr;
    QLabel* Figure = nullptr;
    QLabel* Words = nullptr;
    Plot* History = nullptr;
    QLabel* Registration = nullptr;
    QLabel* Summary = nullptr;
    QPushButton* StopButton = nullptr;
};
