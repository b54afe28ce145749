// The Save-log button, the About item and the help action through the real main window,
// with a real event loop (offscreen) and the virtual modem.

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "serial/ComNames.h"
#include "settings/SettingsStore.h"
#include "sim/VirtualModem.h"
#include "tests/gui-qt/ModalAnswerer.h"
#include "gui-qt/ModemSetupDlg.h"

namespace {

constexpr int Patience = 60000;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the file must hold for the rows the log shows now, encoded apart from the export.
std::string ExpectedFile(const QTableWidget* log) {
    QStringEncoder cp1251("windows-1251");
    std::string bytes;
    for (int row = 0; row < log->rowCount(); ++row) bytes += QByteArray(cp1251.encode(log->item(row, 0)->text())).toStdString() + "\r\n";
    return bytes;
}

// The operator's keys reach the focused control, as the platform delivers them.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "no focus for key " << key;
    QTest::keyClick(focused, key, modifiers);
}

std::string Focused() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : std::string();
}

class WindowDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        Store.SetRoot("Halvstad");
        Dialog = std::make_unique<ModemSetupDlg>(Store);
        Log = Dialog->findChild<QTableWidget*>("logView");
        StartStop = Dialog->findChild<QPushButton*>("startStop");
        SaveLog = Dialog->findChild<QPushButton*>("saveLog");
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    }

    std::unique_ptr<VirtualModem> StartModem(uint32_t delayMs = 0) {
        VirtualModemOptions options;
        options.DelayMs = delayMs;
        auto modem = std::make_unique<VirtualModem>(options);
        EXPECT_EQ(modem->Start(), "");
        return modem;
    }
    bool JobEnded() const {
        return QTest::qWaitFor(
            [this] {
                return Log->rowCount() > 0 && StartStop->text() == "Старт!" &&
                       Log->item(Log->rowCount() - 1, 0)->text().startsWith("Операция завершена");
            },
            Patience);
    }

    // The operator types name in the save dialog, opened in the test folder, and saves.
    ModalAnswerer::Answer Choose(const QString& name, std::function<void()> first = {}) {
        return [this, name, first](QWidget* w) {
            if (first) first();
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(Dir.path());
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        };
    }
    std::string In(const char* name) const { return Dir.path().toStdString() + "/" + name; }

    SettingsStore Store;
    QTemporaryDir Dir;
    ModalAnswerer Operator;
    std::unique_ptr<ModemSetupDlg> Dialog;
    QTableWidget* Log = nullptr;
    QPushButton* StartStop = nullptr;
    QPushButton* SaveLog = nullptr;
};

}  // namespace

TEST_F(WindowDialogs, SaveLogAfterAJobWritesTheRowsExactly) {
    const auto modem = StartModem();
    StartStop->click();
    ASSERT_TRUE(JobEnded());
    Operator.Then(Choose("run"));
    Operator.ThenPress(QMessageBox::Yes);
    SaveLog->click();

    const std::string saved = ReadAll(In("run.txt"));
    EXPECT_EQ(saved, ExpectedFile(Log));
    EXPECT_EQ(saved.rfind("\xCE\xF2\xEA\xF0\xFB\xF2\xE8\xE5 \xD1\xCE\xCC" "1\r\n", 0), 0u);  // "Открытие СОМ1"
    EXPECT_TRUE(Operator.AllAnswered());
    EXPECT_EQ(Operator.Boxes().size(), 1u);  // the creation question, nothing more
}

TEST_F(WindowDialogs, SaveLogDuringAJobHoldsTheRowsAddedWhileTheDialogWasOpen) {
    const auto modem = StartModem(200);
    StartStop->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Log->rowCount() >= 2; }, Patience));
    int rowsAtOpening = 0;
    Operator.Then(Choose("busy", [&] {
        rowsAtOpening = Log->rowCount();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Log->rowCount() > rowsAtOpening; }, Patience));
    }));
    Operator.ThenPress(QMessageBox::Yes);
    SaveLog->click();
    // Nothing ran between the export and here, so the log still holds what was saved.
    const std::string expected = ExpectedFile(Log);
    EXPECT_EQ(ReadAll(In("busy.txt")), expected);
    EXPECT_GT(Log->rowCount(), rowsAtOpening);
    ASSERT_TRUE(JobEnded());
}

TEST_F(WindowDialogs, CancelledSaveWritesAndShowsNothing) {
    Operator.Then([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    SaveLog->click();
    EXPECT_TRUE(Operator.AllAnswered());
    EXPECT_TRUE(Operator.Boxes().empty());
    EXPECT_TRUE(QDir(Dir.path()).isEmpty());
}

TEST_F(WindowDialogs, AboutOpensForCommandsSixteenToThirtyOne) {
    for (const int id : {0, 15, 32, 0xF060}) Dialog->OnSysCommand(id);  // nothing modal comes up
    for (const int id : {16, 23, 31}) {
        QString caption;
        bool hasIcon = false;
        Operator.Then([&](QWidget* w) {
            caption = w->windowTitle();
            hasIcon = !w->findChild<QLabel*>("aboutIcon")->pixmap().isNull();
            w->findChild<QPushButton*>("okButton")->click();
        });
        Dialog->OnSysCommand(id);
        EXPECT_EQ(caption, "О программе") << id;
        EXPECT_TRUE(hasIcon) << id;
    }
    EXPECT_TRUE(Operator.AllAnswered());
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Dialog->windowTitle(), "Тервана");
}

TEST_F(WindowDialogs, TheMenuItemOpensAboutAndF1ThereShowsHelp) {
    bool aboutStayed = false;
    Operator.Then([&](QWidget* about) {
        // Activation is asynchronous; the main window counts as active until it is done.
        about->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([about] { return about->isActiveWindow(); }, Patience));
        QTest::keyClick(about->findChild<QPushButton*>("okButton"), Qt::Key_F1);
        aboutStayed = about->isVisible();
        QTest::keyClick(about, Qt::Key_Escape);
    });
    Operator.ThenPress(QMessageBox::Ok);
    Dialog->findChild<QAction*>("aboutAction")->trigger();

    EXPECT_TRUE(Operator.AllAnswered());
    ASSERT_EQ(Operator.Boxes().size(), 1u);
    EXPECT_EQ(Operator.Boxes()[0].Caption, "Справка");
    // On Linux the help names the ports folder and the group that opens the ports.
    for (const std::string& part : {gPortsFolder(), std::string("dialout")})
        EXPECT_TRUE(Operator.Boxes()[0].Text.contains(QString::fromStdString(part))) << part;
    EXPECT_TRUE(aboutStayed);
    EXPECT_TRUE(Dialog->isVisible());
}

// From the first focus, keys alone start a job, walk the tab order through the filled log
// (one stop) and save the log; after the save dialog and its question the window is
// active again with the focus where it was.
TEST_F(WindowDialogs, TheKeyboardAloneRunsAJobAndSavesTheLog) {
    const auto modem = StartModem();
    Dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    EXPECT_EQ(Focused(), "comSelector");
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), "startStop");
    Press(Qt::Key_Return);
    ASSERT_TRUE(JobEnded());
    for (const char* next : {"speedSelector", "modelSelector", "placeSelector", "logView", "saveLog"}) {
        Press(Qt::Key_Tab);
        EXPECT_EQ(Focused(), next);
    }
    for (const char* back : {"logView", "placeSelector"}) {
        Press(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), back);
    }
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(Focused(), "saveLog");

    const struct {
        Qt::Key Key;
        const char* Answer;  // to the save dialog: a name, or nothing to cancel
    } saves[] = {{Qt::Key_Return, "keys"}, {Qt::Key_Space, "keys"}, {Qt::Key_Enter, nullptr}};
    for (const auto& save : saves) {
        SCOPED_TRACE(save.Key);
        if (save.Answer) {
            Operator.Then(Choose(save.Answer));
            Operator.ThenPress(QMessageBox::Yes);  // create it, or replace it
        } else {
            Operator.Then([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        }
        Press(save.Key);
        EXPECT_TRUE(Operator.AllAnswered());
        EXPECT_EQ(ReadAll(In("keys.txt")), ExpectedFile(Log));
        EXPECT_TRUE(QTest::qWaitFor([this] { return Dialog->isActiveWindow(); }));
        EXPECT_EQ(Focused(), "saveLog");
    }
}
