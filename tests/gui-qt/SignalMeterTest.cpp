// The signal meter through the real main window: its menu item, what it shows after
// readings from the virtual modem, and that closing it or its Stop button ends the job.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "gui-qt/ModemSetupDlg.h"
#include "settings/SettingsStore.h"
#include "sim/VirtualModem.h"

namespace {

constexpr int Patience = 60000;

class SignalMeterWindow : public ::testing::Test {
protected:
    void StartModem(int signal, bool walk = false) {
        VirtualModemOptions options;
        options.Signal = signal;
        options.SignalWalk = walk;
        options.Seed = 7;
        Modem = std::make_unique<VirtualModem>(options);
        ASSERT_EQ(Modem->Start(), "");
        Store.SetRoot("Halvstad");
        Dialog = std::make_unique<ModemSetupDlg>(Store);
        Dialog->SignalIntervalMs = 20;
        Log = Dialog->findChild<QTableWidget*>("logView");
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
        Item = Dialog->findChild<QAction*>("signalMeterAction");
        ASSERT_NE(Item, nullptr);
    }
    void TearDown() override {
        Dialog.reset();
        if (Modem) Modem->Stop();
    }
    QWidget* Meter() const { return Dialog->findChild<QWidget*>("signalMeter"); }
    QString Text(const char* name) const { return Meter()->findChild<QLabel*>(name)->text(); }
    // The job's summary is the log's last row once it has ended.
    bool JobEnded() const {
        return QTest::qWaitFor(
            [this] {
                return Dialog->Busy == 0 && Log->rowCount() > 0 &&
                       Log->item(Log->rowCount() - 1, 0)->text().startsWith("Измерение завершено");
            },
            Patience);
    }
    bool Shows(const char* figure) const {
        return QTest::qWaitFor([&] { return Meter() && Text("signalFigure") == QString::fromUtf8(figure); }, Patience);
    }

    SettingsStore Store;
    std::unique_ptr<VirtualModem> Modem;
    std::unique_ptr<ModemSetupDlg> Dialog;
    QTableWidget* Log = nullptr;
    QAction* Item = nullptr;
};

}  // namespace

TEST_F(SignalMeterWindow, ShowsTheFigureWordsAndRegistrationOfTheModemsLevel) {
    struct Case {
        int Csq;
        const char* Figure;
        const char* Words;
    };
    const Case cases[] = {
        {0, "-113 дБм", "нет сигнала"}, {5, "-103 дБм", "слабый"},  {12, "-89 дБм", "средний"},
        {17, "-79 дБм", "хороший"},     {31, "-51 дБм", "отличный"}, {99, "нет сигнала", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Csq);
        StartModem(c.Csq);
        EXPECT_EQ(Item->text(), "Уровень сигнала…");
        Item->trigger();
        ASSERT_TRUE(Shows(c.Figure)) << Text("signalFigure").toStdString();
        EXPECT_TRUE(Meter()->isVisible());
        EXPECT_EQ(Text("signalWords"), QString::fromUtf8(c.Words));
        EXPECT_EQ(Text("signalRegistration"), "Регистрация: домашняя сеть");
        Meter()->findChild<QPushButton*>("signalStop")->click();
        ASSERT_TRUE(JobEnded());
        EXPECT_FALSE(Meter()->findChild<QPushButton*>("signalStop")->isEnabled());
        EXPECT_EQ(Text("signalSummary"), Log->item(Log->rowCount() - 1, 0)->text());
        TearDown();
    }
}

TEST_F(SignalMeterWindow, ClosingTheMeterEndsTheJobAndTheItemWaitsForTheRun) {
    StartModem(17, true);
    Item->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Meter() && !Text("signalFigure").isEmpty(); }, Patience));
    auto* menu = Dialog->findChild<QMenu*>("systemMenu");
    emit menu->aboutToShow();
    EXPECT_FALSE(Item->isEnabled());  // the job is busy
    EXPECT_EQ(Dialog->findChild<QPushButton*>("startStop")->text(), "Стоп!");

    Meter()->close();
    ASSERT_TRUE(JobEnded());
    EXPECT_FALSE(Meter()->isVisible());
    emit menu->aboutToShow();
    EXPECT_TRUE(Item->isEnabled());

    // Opened again, the meter starts afresh and shows the new job's readings.
    Item->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Meter()->isVisible() && !Text("signalFigure").isEmpty(); }, Patience));
    EXPECT_TRUE(Text("signalSummary").isEmpty());
    Meter()->close();
    ASSERT_TRUE(JobEnded());
}
