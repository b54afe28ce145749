// The test call's item of the Qt window: its dialog takes only numbers that can be
// dialled and never the calling modem's own port, and the item is greyed while a run is busy.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "engine/CallMessages.h"
#include "gui-qt/ModemSetupDlg.h"
#include "gui-qt/TestCallDlg.h"
#include "settings/SettingsStore.h"
#include "sim/CallNetwork.h"
#include "sim/VirtualModem.h"
#include "tests/gui-qt/ModalAnswerer.h"
#include "tests/support/TempConfigHome.h"

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

// "Стоп!" while the device's modem rings, and the window closed while the data cross:
// the call's rows are in the main log, and both modems end on-hook.
TEST(TestCallWindow, StopAndCloseEndTheCallOnBothModems) {
    const struct {
        const char* Name;
        const char* DeviceProfile;  // S0=0: it rings and never answers
        CallPhase Wait;             // the device's modem's phase when the operator acts
        bool Close;                 // the window is closed, not stopped
    } cases[] = {
        {"StopWhileRinging", "ATE0V0X0L1&D0S0=0S7=60+IPR=9600", CallPhase::Ringing, false},
        {"CloseDuringTheData", "ATE0V0X0L1&D0S0=2S7=60+IPR=9600", CallPhase::Online, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempConfigHome home;
        auto network = std::make_shared<CallNetwork>();
        std::vector<std::unique_ptr<VirtualModem>> modems;
        for (const auto& [com, profile] : {std::pair{1, "ATE0V1X4L1&D2S0=2S7=60+IPR=9600"}, {2, c.DeviceProfile}}) {
            VirtualModemOptions o;
            o.ComNumber = com;
            o.Speed = 9600;
            o.Calls = network;
            o.TimeScale = 10;
            o.Bearer = 2400;  // the data take seconds
            o.ProfileFile = home.Path() + "/profile" + std::to_string(com);
            std::ofstream(o.ProfileFile) << profile << "\n";
            modems.push_back(std::make_unique<VirtualModem>(o));
            ASSERT_EQ(modems.back()->Start(), "");
        }
        SettingsStore store;
        store.SetRoot("Halvstad");
        auto window = std::make_unique<ModemSetupDlg>(store);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        auto* log = window->findChild<QTableWidget*>("logView");
        auto* startStop = window->findChild<QPushButton*>("startStop");
        ASSERT_TRUE(window->OnTestCall(CallRequest{modems[1]->Number(), 2, false}));
        // The window's event loop runs meanwhile: the worker's rows go through it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return modems[1]->Phase() == c.Wait; }, 30000));
        if (c.Close) {
            ASSERT_TRUE(QTest::qWaitFor([&] {
                for (int row = 0; row < log->rowCount(); ++row)
                    if (log->item(row, 0)->text().startsWith("Проверка данных")) return true;
                return false;
            }, 30000));
            window->close();
            window.reset();
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return startStop->text() == "Стоп!"; }, 30000));
            startStop->click();
            ASSERT_TRUE(QTest::qWaitFor([&] {
                const int rows = log->rowCount();
                return rows > 0 && log->item(rows - 1, 0)->text() == CallMsg::Stopped;
            }, 30000));
            EXPECT_EQ(window->Outcome.Result, RunResult::Stopped);
        }
        for (const auto& modem : modems)
            EXPECT_TRUE(QTest::qWaitFor([&] { return modem->Phase() == CallPhase::OnHook; }, 10000));
        window.reset();
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
