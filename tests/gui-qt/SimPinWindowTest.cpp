// The PIN item of the Qt window: its dialog's refusals, and runs on the virtual modem
// through the real main window, the last-try question answered both ways; the PIN never
// shows in the log view nor in the saved log.

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "gui-qt/ModemSetupDlg.h"
#include "gui-qt/SimPinDlg.h"
#include "settings/SettingsStore.h"
#include "sim/VirtualModem.h"
#include "tests/gui-qt/ModalAnswerer.h"

namespace {

constexpr int Patience = 60000;
constexpr const char* BadPin = "PIN-код должен состоять из 4–8 цифр!";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

QStringList Rows(const QTableWidget* log) {
    QStringList rows;
    for (int row = 0; row < log->rowCount(); ++row) rows << log->item(row, 0)->text();
    return rows;
}

// The operator types keys into the PIN field, or (paste) puts text there whole, then
// presses OK.
ModalAnswerer::Answer Enter(const QString& keys, bool paste = false) {
    return [keys, paste](QWidget* w) {
        auto* field = w->findChild<QLineEdit*>("pinField");
        ASSERT_NE(field, nullptr);
        if (paste) field->setText(keys);
        else QTest::keyClicks(field, keys);
        w->findChild<QPushButton*>("pinOk")->click();
    };
}

TEST(SimPinDialog, RefusesAnythingButFourToEightDigits) {
    const struct {
        const char* Name;
        QString Keys;
        bool Paste;
        QString Field;     // what the field holds before OK
        bool Accepted;
    } cases[] = {
        {"FourDigits", "1234", false, "1234", true},
        {"EightDigits", "12345678", false, "12345678", true},
        {"NinthDigitNotTaken", "123456789", false, "12345678", true},
        {"LettersNotTaken", "12a34", false, "1234", true},
        {"ThreeDigits", "123", false, "123", false},
        {"LettersLeaveTooFew", "1a2b3", false, "123", false},
        {"Empty", "", false, "", false},
        {"PastedLetters", "12a4", true, "12a4", false},
        {"PastedSpaces", "12 34", true, "12 34", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        SimPinDlg dialog(nullptr);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.windowTitle(), "PIN-код SIM-карты");
        EXPECT_EQ(dialog.findChild<QLabel*>("pinPrompt")->text(), "PIN-код SIM-карты (4–8 цифр):");
        EXPECT_EQ(dialog.findChild<QPushButton*>("pinCancel")->text(), "Отмена");
        auto* field = dialog.findChild<QLineEdit*>("pinField");
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        if (c.Paste) field->setText(c.Keys);
        else QTest::keyClicks(field, c.Keys);
        EXPECT_EQ(field->text(), c.Field);
        ModalAnswerer operatorPlays;
        if (!c.Accepted) operatorPlays.ThenPress(QMessageBox::Ok);
        dialog.findChild<QPushButton*>("pinOk")->click();
        EXPECT_TRUE(operatorPlays.AllAnswered());
        EXPECT_EQ(dialog.isVisible(), !c.Accepted);
        EXPECT_EQ(dialog.result(), c.Accepted ? QDialog::Accepted : QDialog::Rejected);
        if (c.Accepted) {
            EXPECT_TRUE(operatorPlays.Boxes().empty());
            EXPECT_EQ(QString::fromStdString(dialog.TakePin()), c.Field);
            EXPECT_EQ(dialog.TakePin(), "") << "handed over once";
            EXPECT_EQ(field->text(), "");
        } else {
            ASSERT_EQ(operatorPlays.Boxes().size(), 1u);
            EXPECT_EQ(operatorPlays.Boxes()[0].Text, BadPin);
            EXPECT_EQ(operatorPlays.Boxes()[0].Caption, "Ошибка");
            EXPECT_EQ(dialog.TakePin(), "");
        }
    }
}

class SimPinWindow : public ::testing::Test {
protected:
    void Open(const char* cardInProfile, uint32_t delayMs = 0) {
        VirtualModemOptions o;
        o.Speed = 9600;
        o.Pin = "1234";
        o.Sim = SimState::PinNeeded;
        o.DelayMs = delayMs;
        o.ProfileFile = Dir.path().toStdString() + "/profile";
        if (cardInProfile) std::ofstream(o.ProfileFile) << "ATE1V1X4L0&D2S0=0S7=60+IPR=9600\n" << cardInProfile << "\n";
        Modem = std::make_unique<VirtualModem>(o);
        ASSERT_EQ(Modem->Start(), "");
        Store.SetRoot("Halvstad");
        Dialog = std::make_unique<ModemSetupDlg>(Store);
        Log = Dialog->findChild<QTableWidget*>("logView");
        StartStop = Dialog->findChild<QPushButton*>("startStop");
        Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
        Menu = Dialog->findChild<QMenu*>("systemMenu");
        Item = Dialog->findChild<QAction*>("simPinAction");
        ASSERT_NE(Item, nullptr);
    }
    void TearDown() override {
        Dialog.reset();
        if (Modem) Modem->Stop();
    }
    bool JobEnded() const {
        return QTest::qWaitFor(
            [this] {
                return Dialog->Busy == 0 && StartStop->text() == "Старт!" && Log->rowCount() > 0 &&
                       Log->item(Log->rowCount() - 1, 0)->text().startsWith("Операция завершена");
            },
            Patience);
    }
    bool Greyed() {
        emit Menu->aboutToShow();
        return !Item->isEnabled();
    }
    std::string SavedLog(ModalAnswerer& operatorPlays) {
        operatorPlays.Then([this](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(Dir.path());
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("pin");
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        });
        operatorPlays.ThenPress(QMessageBox::Yes);
        Dialog->findChild<QPushButton*>("saveLog")->click();
        EXPECT_TRUE(operatorPlays.AllAnswered());
        return ReadAll(Dir.path().toStdString() + "/pin.txt");
    }

    QTemporaryDir Dir;
    SettingsStore Store;
    std::unique_ptr<VirtualModem> Modem;
    std::unique_ptr<ModemSetupDlg> Dialog;
    QTableWidget* Log = nullptr;
    QPushButton* StartStop = nullptr;
    QMenu* Menu = nullptr;
    QAction* Item = nullptr;
};

}  // namespace

TEST_F(SimPinWindow, TheItemSitsBesideTheCheckAndIsGreyedWhileAJobRuns) {
    Open(nullptr, 150);
    const QList<QAction*> actions = Menu->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[2]->text(), "Проверить модем");
    EXPECT_EQ(actions[4], Item);
    EXPECT_EQ(Item->text(), "Снять PIN-код SIM-карты…");
    EXPECT_FALSE(Greyed());

    // Any dialog that opened unasked would be a failure.
    ModalAnswerer operatorPlays;
    StartStop->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Dialog->Busy == 1; }, Patience));
    EXPECT_TRUE(Greyed());
    Dialog->OnSimPinItem();  // as if the item were chosen anyway: nothing opens
    StartStop->click();
    ASSERT_TRUE(JobEnded());
    EXPECT_FALSE(Greyed());

    operatorPlays.Then([](QWidget* w) { w->findChild<QPushButton*>("pinCancel")->click(); });
    const int rows = Log->rowCount();
    Item->trigger();
    EXPECT_TRUE(operatorPlays.AllAnswered());
    EXPECT_EQ(Log->rowCount(), rows) << "a cancelled dialog starts nothing";
    EXPECT_EQ(Modem->ReceivedBytes().find("AT+CPIN"), std::string::npos);
}

// A card on its last try asks the operator once more before the PIN goes out.
TEST_F(SimPinWindow, RunsTheJobAndThePinShowsNowhere) {
    const struct {
        const char* Name;
        const char* CardInProfile;
        bool AskedAgain;
        QMessageBox::StandardButton Answer;
        const char* Row;  // the row before the final one
        const char* Final;
        size_t PinsSent;
    } cases[] = {
        {"RightPin", nullptr, false, QMessageBox::NoButton, "Запрос PIN-кода отключён: модем включится без PIN-кода.",
         "Операция завершена успешно!", 1},
        {"LastTrySent", "SC lock=1 tries=1", true, QMessageBox::Yes,
         "Запрос PIN-кода отключён: модем включится без PIN-кода.", "Операция завершена успешно!", 1},
        {"LastTryKept", "SC lock=1 tries=1", true, QMessageBox::No,
         "PIN-код не отправлен: осталась последняя попытка.", "Операция завершена НЕ успешно!", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(c.CardInProfile);
        ModalAnswerer operatorPlays;
        operatorPlays.Then(Enter("1234"));
        if (c.AskedAgain) operatorPlays.ThenPress(c.Answer);
        Item->trigger();
        ASSERT_TRUE(JobEnded());
        EXPECT_TRUE(operatorPlays.AllAnswered());
        if (c.AskedAgain) {
            ASSERT_EQ(operatorPlays.Boxes().size(), 1u);
            EXPECT_EQ(operatorPlays.Boxes()[0].Caption, "Последняя попытка");
            EXPECT_EQ(operatorPlays.Boxes()[0].Icon, QMessageBox::Question);
        }
        const QStringList rows = Rows(Log);
        ASSERT_GE(rows.size(), 2);
        EXPECT_EQ(rows[rows.size() - 2], c.Row);
        EXPECT_EQ(rows.last(), c.Final);
        EXPECT_EQ(rows.contains("Выполнение команды AT+CPIN=\"****\""), c.PinsSent == 1) << rows.join("\n").toStdString();
        EXPECT_EQ(Count(Modem->ReceivedBytes(), "AT+CPIN=\"1234\"\r"), c.PinsSent);
        EXPECT_FALSE(rows.join("\n").contains("1234"));
        const std::string saved = SavedLog(operatorPlays);
        EXPECT_FALSE(saved.empty());
        EXPECT_EQ(saved.find("1234"), std::string::npos) << saved;
        TearDown();
    }
}
