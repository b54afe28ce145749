// The Qt side of the toolkit boundary with real widgets and a real event loop: requests
// from the window thread and from a worker, and cancellation when the window thread has
// stopped handling events.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "gui-qt/LogView.h"
#include "gui-qt/QtToolkit.h"

namespace {

constexpr int Combo = 1;
constexpr int Button = 2;
constexpr int Label = 3;
constexpr int Log = 4;
constexpr int Patience = 20000;

// Handles events until done holds; unlike QTest::qWaitFor it never sleeps between events,
// so a worker's request is carried out as soon as it is posted.
bool HandleEventsUntil(const std::function<bool()>& done) {
    QTimer tick;
    tick.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(Patience)) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

class QtToolkitTest : public ::testing::Test {
protected:
    QtToolkitTest() : Kit(Window) {
        Kit.AddCombo(Combo, &ComboBox);
        Kit.AddTextControl(Button, &PushButton);
        Kit.AddTextControl(Label, &TextLabel);
        Kit.AddLog(Log, &LogTable);
        LogTable.setColumnCount(1);
    }

    // Runs job on a worker while the window thread handles events; its result.
    template <class Job>
    auto OnWorker(Job job) {
        auto result = std::async(std::launch::async, job);
        EXPECT_TRUE(HandleEventsUntil(
            [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        return result.get();
    }

    QWidget Window;
    QComboBox ComboBox{&Window};
    QPushButton PushButton{&Window};
    QLabel TextLabel{&Window};
    LogView LogTable{&Window};
    QtToolkit Kit;
};

TEST_F(QtToolkitTest, ComboKeepsAppendOrderAndSelectsNothingOutsideTheList) {
    Kit.ComboClear(Combo);
    for (const char* text : {"COM1", "COM2", "COM3"}) Kit.ComboAppend(Combo, text);
    struct Case {
        int Index;
        int Selected;
        std::string Text;
    };
    for (const Case& c : {Case{1, 1, "COM2"}, Case{3, -1, ""}, Case{0, 0, "COM1"}, Case{-1, -1, ""},
                          Case{2, 2, "COM3"}, Case{40, -1, ""}}) {
        Kit.ComboSelect(Combo, c.Index);
        EXPECT_EQ(Kit.ComboSelected(Combo), c.Selected) << c.Index;
        EXPECT_EQ(Kit.ComboText(Combo), c.Text) << c.Index;
    }
    Kit.ComboClear(Combo);
    EXPECT_EQ(ComboBox.count(), 0);
    EXPECT_EQ(Kit.ComboSelected(Combo), -1);
}

TEST_F(QtToolkitTest, LogRowsKeepTheirPositionsAndTheirWholeText) {
    const std::string longRow(5000, 'x');
    Kit.LogInsertRow(Log, 0, "Первая");
    Kit.LogInsertRow(Log, 1, longRow);
    Kit.LogInsertRow(Log, 1, "Между");
    Kit.LogInsertRow(Log, 100, "Последняя");
    ASSERT_EQ(Kit.LogRowCount(Log), 4);
    EXPECT_EQ(Kit.LogRowText(Log, 0), "Первая");
    EXPECT_EQ(Kit.LogRowText(Log, 1), "Между");
    EXPECT_EQ(Kit.LogRowText(Log, 2), longRow);
    EXPECT_EQ(Kit.LogRowText(Log, 3), "Последняя");
    EXPECT_EQ(Kit.LogRowText(Log, 4), "");
    EXPECT_FALSE(LogTable.item(0, 0)->flags() & Qt::ItemIsEditable);
    Kit.LogScrollTo(Log, 3);
    Kit.LogDeleteAll(Log);
    EXPECT_EQ(Kit.LogRowCount(Log), 0);
}

// A worker's request is carried out by the window thread and is complete when it returns.
TEST_F(QtToolkitTest, AWorkersRequestsRunOnTheWindowThreadAndCompleteBeforeReturning) {
    QThread* changedOn = nullptr;
    QObject::connect(&ComboBox, &QComboBox::currentIndexChanged, [&] { changedOn = QThread::currentThread(); });
    const auto seen = OnWorker([this] {
        Kit.ComboAppend(Combo, "9600");
        Kit.ComboAppend(Combo, "19200");
        Kit.ComboSelect(Combo, 1);
        Kit.SetControlText(Button, "Стоп!");
        for (int row = 0; row < 50; ++row) Kit.LogInsertRow(Log, row, std::to_string(row));
        return std::make_tuple(Kit.ComboSelected(Combo), Kit.ComboText(Combo), Kit.LogRowCount(Log),
                               Kit.LogRowText(Log, 49));
    });
    EXPECT_EQ(seen, std::make_tuple(1, std::string("19200"), 50, std::string("49")));
    EXPECT_EQ(changedOn, QThread::currentThread());
    EXPECT_EQ(PushButton.text(), QStringLiteral("Стоп!"));
}

// The window thread is busy elsewhere (here: not handling events at all) when the window
// goes: the waiting worker is released, and its request never takes effect.
TEST_F(QtToolkitTest, CancellingReleasesAWaitingWorkerWithoutEventHandling) {
    std::promise<void> posted;
    auto worker = std::async(std::launch::async, [&] {
        posted.set_value();
        Kit.ComboAppend(Combo, "late");
        return Kit.ComboSelected(Combo);
    });
    posted.get_future().wait();
    Kit.CancelRequests();
    ASSERT_EQ(worker.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(worker.get(), -1);
    QCoreApplication::processEvents();
    EXPECT_EQ(ComboBox.count(), 0);
}

TEST_F(QtToolkitTest, AfterCancellingEveryRequestReturnsAtOnceWithoutEffect) {
    Kit.ComboAppend(Combo, "COM1");
    Kit.ComboSelect(Combo, 0);
    Kit.LogInsertRow(Log, 0, "row");
    Kit.CancelRequests();
    const auto check = [this] {
        Kit.ComboAppend(Combo, "COM2");
        Kit.SetControlText(Label, "x");
        Kit.LogInsertRow(Log, 0, "x");
        Kit.ShowMessage("x", "Ошибка");
        return std::make_tuple(Kit.ComboSelected(Combo), Kit.ComboText(Combo), Kit.LogRowCount(Log),
                               Kit.LogRowText(Log, 0));
    };
    const auto nothing = std::make_tuple(-1, std::string(), 0, std::string());
    EXPECT_EQ(check(), nothing);
    EXPECT_EQ(std::async(std::launch::async, check).get(), nothing);
    QCoreApplication::processEvents();
    EXPECT_EQ(ComboBox.count(), 1);
    EXPECT_EQ(LogTable.rowCount(), 1);
    EXPECT_TRUE(TextLabel.text().isEmpty());
}

// A worker flooding the log while the window thread cancels at some point: the worker is
// never left waiting, whenever the cancellation falls.
TEST_F(QtToolkitTest, CancellingAtAnyMomentNeverLeavesTheWorkerWaiting) {
    for (int round = 0; round < 20; ++round) {
        QtToolkit kit(Window);
        kit.AddLog(Log, &LogTable);
        std::atomic<int> written{0};
        auto worker = std::async(std::launch::async, [&] {
            for (int row = 0; row < 100000; ++row) {
                kit.LogInsertRow(Log, row, "row");
                if (kit.LogRowCount(Log) == 0) return;
                ++written;
            }
        });
        const int cancelAfter = round * 7;
        ASSERT_TRUE(HandleEventsUntil([&] { return written >= cancelAfter; }));
        kit.CancelRequests();
        ASSERT_EQ(worker.wait_for(std::chrono::seconds(20)), std::future_status::ready) << round;
        LogTable.setRowCount(0);
    }
}

TEST_F(QtToolkitTest, AWorkersMessageBoxIsModalToTheWindowAndHoldsTheWorkerUntilClosed) {
    Window.show();
    std::atomic<bool> returned{false};
    QMessageBox* seen = nullptr;
    QString caption, text;
    bool heldWhileOpen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || seen) return;
        seen = box;
        caption = box->windowTitle();
        text = box->text();
        EXPECT_EQ(box->parentWidget(), &Window);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        heldWhileOpen = !returned;
        box->button(QMessageBox::Ok)->click();
    });
    probe.start(10);
    OnWorker([&] {
        Kit.ShowMessage("Модем не отвечает!", "Ошибка");
        returned = true;
        return 0;
    });
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(text, QStringLiteral("Модем не отвечает!"));
    EXPECT_TRUE(heldWhileOpen);
}

}  // namespace
