// The test call's item of the Qt window: its dialog takes only numbers that can be
// dialled and never the calling modem's own port, and the item is greyed while a run is busy.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "gui-qt/ModemSetupDlg.h"
#include "gui-qt/TestCallDlg.h"
#include "settings/SettingsStore.h"
#include "tests/gui-qt/ModalAnswerer.h"

namespace {

constexpr const char* BadNumber = "Номер телефона должен состоять из 3–20 цифр, перед которыми может стоять знак +!";
constexpr const char* SamePort =
    "Модем прибора должен быть подключён к другому СОМ-порту, не к порту вызывающего модема!";

TEST(TestCallDialog, RefusesNumbersThatCannotBeDialledAndTheCallersOwnPort) {
    const struct {
        const char* Name;
        QString Number;
        int AnswerIndex;   // 0: none, n: COMn
        bool Restart;      // the box as the operator leaves it
        const char* Box;   // the refusal, or none when accepted
        CallRequest Expected = {};
    } cases[] = {
        {"AtTheMeter", "+79161234567", 0, true, nullptr, {"+79161234567", 0, false}},
        {"InTheWorkshop", "0002", 2, true, nullptr, {"0002", 2, true}},
        {"WorkshopWithoutRestart", "123", 3, false, nullptr, {"123", 3, false}},
        {"TwentyDigits", "12345678901234567890", 0, true, nullptr, {"12345678901234567890", 0, false}},
        {"Letters", "12a45", 0, true, BadNumber},
        {"SpacesOnly", "   ", 0, true, BadNumber},
        {"VoiceCall", "12345;", 0, true, BadNumber},
        {"TwentyOneDigits", "123456789012345678901", 0, true, BadNumber},
        {"TwoDigits", "12", 0, true, BadNumber},
        {"PlusInside", "12+345", 0, true, BadNumber},
        {"Empty", "", 2, true, BadNumber},
        {"CallersOwnPort", "0002", 1, true, SamePort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TestCallDlg dialog(nullptr, 1);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.windowTitle(), "Пробный звонок");
        auto* ports = dialog.findChild<QComboBox*>("answerComSelector");
        auto* restart = dialog.findChild<QCheckBox*>("restartBox");
        ASSERT_EQ(ports->count(), 33);
        EXPECT_EQ(ports->itemText(0), "Нет: модем уже у прибора");
        EXPECT_TRUE(restart->isChecked());
        QTest::keyClicks(dialog.findChild<QLineEdit*>("numberField"), c.Number);
        ports->setCurrentIndex(c.AnswerIndex);
        EXPECT_EQ(restart->isEnabled(), c.AnswerIndex > 0);
        if (!c.Restart) restart->click();
        ModalAnswerer operatorPlays;
        if (c.Box) operatorPlays.ThenPress(QMessageBox::Ok);
        dialog.findChild<QPushButton*>("callOk")->click();
        EXPECT_TRUE(operatorPlays.AllAnswered());
        EXPECT_EQ(dialog.isVisible(), c.Box != nullptr);
        if (c.Box) {
            ASSERT_EQ(operatorPlays.Boxes().size(), 1u);
            EXPECT_EQ(operatorPlays.Boxes()[0].Text, c.Box);
            EXPECT_EQ(operatorPlays.Boxes()[0].Caption, "Ошибка");
            continue;
        }
        EXPECT_TRUE(operatorPlays.Boxes().empty());
        EXPECT_EQ(dialog.Request().Number, c.Expected.Number);
        EXPECT_EQ(dialog.Request().AnswerCom, c.Expected.AnswerCom);
        EXPECT_EQ(dialog.Request().Restart, c.Expected.Restart);
    }
}

// A cancelled dialog starts nothing, and while a run is busy the item is greyed.
TEST(TestCallDialog, TheItemIsGreyedWhileARunIsBusy) {
    SettingsStore store;
    store.SetRoot("Halvstad");
    ModemSetupDlg window(store);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* menu = window.findChild<QMenu*>("systemMenu");
    auto* item = window.findChild<QAction*>("testCallAction");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Пробный звонок…");
    emit menu->aboutToShow();
    EXPECT_TRUE(item->isEnabled());

    ModalAnswerer operatorPlays;
    operatorPlays.Then([](QWidget* w) { w->findChild<QPushButton*>("callCancel")->click(); });
    item->trigger();
    EXPECT_TRUE(operatorPlays.AllAnswered());
    EXPECT_EQ(window.Busy, 0);

    window.Busy = 1;
    emit menu->aboutToShow();
    EXPECT_FALSE(item->isEnabled());
    window.OnTestCallItem();  // chosen anyway: nothing opens
    window.Busy = 0;
}

}  // namespace
