// The main window with a real event loop (offscreen), the real settings store in the
// test's private configuration folder and the virtual modem on a pseudo-terminal.

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/CallMessages.h"
#include "engine/Format.h"
#include "frontend/MainWindowLayout.h"
#include "gui-qt/DialogUnits.h"
#include "settings/SettingsStore.h"
#include "sim/VirtualModem.h"
#include "tests/gui-qt/ModalAnswerer.h"
#include "gui-qt/ModemSetupDlg.h"

namespace {

const char* const Section = CommPortSection;
constexpr int Patience = 60000;
const QString Succeeded = QStringLiteral("Операция завершена успешно!");
const QString NotSucceeded = QStringLiteral("Операция завершена НЕ успешно!");

QStringList Entries(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
}

QStringList Rows(const QTableWidget* log) {
    QStringList rows;
    for (int row = 0; row < log->rowCount(); ++row) rows << log->item(row, 0)->text();
    return rows;
}

// How many descriptors of this process lead to the device (the virtual modem, which runs
// in this process, may hold some of its own).
int OpenDescriptors(const std::string& device) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == device) ++count;
    }
    return count;
}

class ModemSetupDlgTest : public ::testing::Test {
protected:
    struct Window {
        std::unique_ptr<ModemSetupDlg> Dialog;
        QComboBox* Com = nullptr;
        QComboBox* Model = nullptr;
        QComboBox* Speed = nullptr;
        QComboBox* Place = nullptr;
        QPushButton* StartStop = nullptr;
        QLabel* Status = nullptr;
        QTableWidget* Log = nullptr;

        bool FinalRowShown() const {
            const QStringList rows = Rows(Log);
            return !rows.isEmpty() && (rows.last() == Succeeded || rows.last() == NotSucceeded);
        }
        bool WaitForEnd() const {
            return QTest::qWaitFor([this] { return FinalRowShown() && StartStop->text() == "Старт!"; },
                                   Patience);
        }
    };

    // Each test starts as a first start, also when the tests share one process.
    void SetUp() override {
        Store.SetRoot("Halvstad");
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Halvstad", QCoreApplication::applicationName()).clear();
    }

    Window Open() {
        Window w;
        w.Dialog = std::make_unique<ModemSetupDlg>(Store);
        ModemSetupDlg& d = *w.Dialog;
        w.Com = d.findChild<QComboBox*>("comSelector");
        w.Model = d.findChild<QComboBox*>("modelSelector");
        w.Speed = d.findChild<QComboBox*>("speedSelector");
        w.Place = d.findChild<QComboBox*>("placeSelector");
        w.StartStop = d.findChild<QPushButton*>("startStop");
        w.Status = d.findChild<QLabel*>("statusLine");
        w.Log = d.findChild<QTableWidget*>("logView");
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        return w;
    }

    // A virtual modem on COM1 unless adjust says otherwise.
    std::unique_ptr<VirtualModem> StartModem(const std::function<void(VirtualModemOptions&)>& adjust = {}) {
        VirtualModemOptions options;
        if (adjust) adjust(options);
        auto modem = std::make_unique<VirtualModem>(options);
        const std::string failure = modem->Start();
        EXPECT_EQ(failure, "");
        return modem;
    }

    SettingsStore Store;
};

TEST_F(ModemSetupDlgTest, FirstStartShowsTheCataloguesWithTheDefaultChoices) {
    const Window w = Open();
    QStringList ports;
    for (int n = 1; n <= 32; ++n) ports << QStringLiteral("COM%1").arg(n);
    EXPECT_EQ(Entries(w.Com), ports);
    QStringList models, speeds;
    for (const char* model : ModemCatalogue) models << model;
    for (const char* speed : SpeedTable) speeds << speed;
    EXPECT_EQ(Entries(w.Model), models);
    EXPECT_EQ(Entries(w.Speed), speeds);
    EXPECT_EQ(Entries(w.Place), QStringList({"Подключение к прибору", "Подключение к компьютеру"}));
    EXPECT_EQ(w.Com->currentText(), "COM1");
    EXPECT_EQ(w.Model->currentText(), "Siemens TC35i");
    EXPECT_EQ(w.Speed->currentText(), "9600");
    EXPECT_EQ(w.Place->currentText(), "Подключение к прибору");
    for (const QComboBox* combo : {w.Com, w.Model, w.Speed, w.Place}) EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(w.Dialog->windowTitle(), "Тервана");
    EXPECT_FALSE(w.Dialog->windowIcon().isNull());
    EXPECT_EQ(w.Dialog->minimumSize(), w.Dialog->maximumSize());
    EXPECT_EQ(w.StartStop->text(), "Старт!");
    EXPECT_TRUE(w.Status->text().isEmpty());
}

TEST_F(ModemSetupDlgTest, TheLogIsAOneColumnReportList) {
    const Window w = Open();
    ASSERT_EQ(w.Log->columnCount(), 1);
    const QTableWidgetItem* header = w.Log->horizontalHeaderItem(0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->text(), "Операция");
    EXPECT_EQ(header->textAlignment(), Qt::AlignCenter);
    EXPECT_EQ(w.Log->columnWidth(0), w.Log->contentsRect().width() -
                                         w.Log->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w.Log));
    EXPECT_EQ(w.Log->rowCount(), 0);
    EXPECT_TRUE(w.Log->showGrid());
    EXPECT_EQ(w.Log->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(w.Log->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(w.Log->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPalette palette = w.Log->palette();
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
              palette.color(QPalette::Active, QPalette::Highlight));
}

TEST_F(ModemSetupDlgTest, TabOrderFollowsTheLayout) {
    const Window w = Open();
    QStringList order;
    QWidget* widget = w.Com;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != w.Com);
    EXPECT_EQ(order, QStringList({"comSelector", "startStop", "speedSelector", "modelSelector", "placeSelector",
                                  "logView", "saveLog"}));
}

TEST_F(ModemSetupDlgTest, AStartStoresTheChoicesAndTheNextWindowShowsThem) {
    const auto modem = StartModem([](VirtualModemOptions& o) { o.ComNumber = 5; });
    {
        const Window w = Open();
        w.Com->setCurrentIndex(4);
        w.Model->setCurrentIndex(1);
        w.Speed->setCurrentText("19200");
        w.Place->setCurrentIndex(1);
        w.StartStop->click();
        ASSERT_TRUE(w.WaitForEnd());
        EXPECT_EQ(Rows(w.Log).first(), "Открытие СОМ5");
        EXPECT_EQ(Rows(w.Log).last(), Succeeded);
    }
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", -9), 4);
    EXPECT_EQ(Store.ReadInt(Section, "ModemType", -9), 1);
    EXPECT_EQ(Store.ReadInt(Section, "BaudRateInd", -9), 5);
    EXPECT_EQ(Store.ReadInt(Section, "IsLocal", -9), 1);
    const Window next = Open();
    EXPECT_EQ(next.Com->currentText(), "COM5");
    EXPECT_EQ(next.Model->currentIndex(), 1);
    EXPECT_EQ(next.Speed->currentText(), "19200");
    EXPECT_EQ(next.Place->currentText(), "Подключение к компьютеру");
}

TEST_F(ModemSetupDlgTest, AStoredPortOutsideTheListLeavesTheComSelectorEmpty) {
    Store.WriteInt(Section, "CommNum", 40);
    const Window w = Open();
    EXPECT_EQ(w.Com->currentIndex(), -1);
    EXPECT_EQ(w.Com->count(), 32);
}

TEST_F(ModemSetupDlgTest, AJobRunsToSuccessWithTheStatusLineShowingTheLastRow) {
    const auto modem = StartModem();
    const Window w = Open();
    w.StartStop->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.StartStop->text() == "Стоп!"; }, Patience));
    ASSERT_TRUE(w.WaitForEnd());
    const QStringList rows = Rows(w.Log);
    EXPECT_EQ(rows.first(), "Открытие СОМ1");
    EXPECT_EQ(rows.last(), Succeeded);
    EXPECT_EQ(w.Status->text(), Succeeded);
    // The last row was scrolled into view.
    const QRect last = w.Log->visualItemRect(w.Log->item(w.Log->rowCount() - 1, 0));
    EXPECT_TRUE(w.Log->viewport()->rect().contains(last)) << rows.size();
    EXPECT_EQ(modem->StoredProfile().Echo, false);
}

TEST_F(ModemSetupDlgTest, ASecondClickStopsTheJob) {
    const auto modem = StartModem([](VirtualModemOptions& o) { o.DelayMs = 300; });
    const Window w = Open();
    w.StartStop->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Log->rowCount() >= 3; }, Patience));
    QTimer noBox;
    bool boxSeen = false;
    QObject::connect(&noBox, &QTimer::timeout, [&] {
        if (auto* box = QApplication::activeModalWidget()) {
            boxSeen = true;
            box->close();
        }
    });
    noBox.start(20);
    w.StartStop->click();
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_EQ(Rows(w.Log).last(), NotSucceeded);
    EXPECT_FALSE(boxSeen);
}

// A modem without a SIM card fails ATS0: the box holds the job until the operator
// closes it, and only then does the final row come.
TEST_F(ModemSetupDlgTest, AFailureIsShownInABoxThatHoldsTheJob) {
    const auto modem = StartModem([](VirtualModemOptions& o) { o.NoSim = true; });
    const Window w = Open();
    QString caption;
    bool heldByTheBox = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !caption.isEmpty()) return;
        caption = box->windowTitle();
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->parentWidget(), w.Dialog.get());
        // Nothing moves while the box is open.
        const int rows = w.Log->rowCount();
        QTest::qWait(300);
        heldByTheBox = w.Log->rowCount() == rows && !w.FinalRowShown() && w.StartStop->text() == "Стоп!";
        box->button(QMessageBox::Ok)->click();
    });
    probe.start(20);
    w.StartStop->click();
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_EQ(caption, "Ошибка");
    EXPECT_TRUE(heldByTheBox);
    EXPECT_EQ(Rows(w.Log).last(), NotSucceeded);
}

// Enter presses the push button that has the focus, and nothing where none has it; Esc
// does nothing. Neither ends the window, with or without a job.
TEST_F(ModemSetupDlgTest, EnterPressesOnlyTheFocusedButtonAndNoKeyEndsTheWindow) {
    const auto modem = StartModem([](VirtualModemOptions& o) { o.DelayMs = 100; });
    const Window w = Open();
    w.Dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.Dialog.get()));
    const auto pressWhereNoButtonIs = [&] {
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            for (QWidget* target : {static_cast<QWidget*>(w.Com), static_cast<QWidget*>(w.Place),
                                    static_cast<QWidget*>(w.Log), static_cast<QWidget*>(w.Dialog.get())}) {
                target->setFocus();
                QTest::keyClick(QApplication::focusWidget(), key);
                for (const auto* button : w.Dialog->findChildren<QPushButton*>())
                    EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
            }
        }
        w.StartStop->setFocus();
        QTest::keyClick(w.StartStop, Qt::Key_Escape);
    };
    QSignalSpy finished(w.Dialog.get(), &QDialog::finished);
    pressWhereNoButtonIs();
    EXPECT_TRUE(w.Dialog->isVisible());
    EXPECT_EQ(w.Log->rowCount(), 0) << "a key started a job";
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        w.StartStop->setFocus();
        EXPECT_TRUE(w.StartStop->isDefault());
        QTest::keyClick(w.StartStop, key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.Log->rowCount() >= 2; }, Patience)) << key;
        pressWhereNoButtonIs();
        EXPECT_TRUE(w.Dialog->isVisible());
        ASSERT_TRUE(w.WaitForEnd());
        EXPECT_EQ(Rows(w.Log).last(), Succeeded) << "a key stopped the job";
    }
    EXPECT_EQ(finished.count(), 0);
}

// The layout gives each list's height with its open list, 12 units of which are the
// closed box; the open list takes the rest, however many entries it holds.
TEST_F(ModemSetupDlgTest, EachOpenListIsAsTallAsTheLayoutAllows) {
    const Window w = Open();
    const DialogUnits units(DialogUnits::DialogFont());
    const std::pair<QComboBox*, int> lists[] = {{w.Com, 176}, {w.Speed, 127}, {w.Model, 150}, {w.Place, 127}};
    for (const auto& [combo, height] : lists) {
        SCOPED_TRACE(combo->objectName().toStdString());
        combo->showPopup();
        QWidget* open = combo->view()->window();
        ASSERT_TRUE(QTest::qWaitFor([open] { return open->isVisible(); }));
        const int allowed = units.Y(height - 12);
        const int row = combo->view()->sizeHintForRow(0);
        const int entries = combo->count() * row;
        EXPECT_LE(open->height(), allowed);
        EXPECT_GT(open->height(), std::min(allowed, entries) - row);
        combo->hidePopup();
    }
}

// The window takes its rectangles from the layout the resource script of the native window
// uses: a drop-down shows its closed box, 12 units high, and the sunken line 2 pixels.
TEST_F(ModemSetupDlgTest, EachControlLiesWhereTheSharedLayoutPutsIt) {
    const Window w = Open();
    const DialogUnits units(DialogUnits::DialogFont());
    struct Place {
        const char* Name;
        int X, Y, Width, Height;
    };
    const Place places[] = {
        {"comLabel", KX_COM_LABEL_RECT},       {"comSelector", KX_COM_SELECTOR_RECT},
        {"startStop", KX_START_STOP_RECT},     {"statusLine", KX_STATUS_LINE_RECT},
        {"speedLabel", KX_SPEED_LABEL_RECT},   {"speedSelector", KX_SPEED_SELECTOR_RECT},
        {"modelLabel", KX_MODEL_LABEL_RECT},   {"modelSelector", KX_MODEL_SELECTOR_RECT},
        {"placeLabel", KX_PLACE_LABEL_RECT},   {"placeSelector", KX_PLACE_SELECTOR_RECT},
        {"separator", KX_SEPARATOR_RECT},      {"logView", KX_LOG_VIEW_RECT},
        {"saveLog", KX_SAVE_LOG_RECT},
    };
    EXPECT_EQ(w.Dialog->size(), units.Rect(0, 0, KX_MAIN_SIZE).size());
    for (const Place& place : places) {
        SCOPED_TRACE(place.Name);
        const auto* control = w.Dialog->findChild<QWidget*>(place.Name);
        ASSERT_NE(control, nullptr);
        QRect expected = units.Rect(place.X, place.Y, place.Width, place.Height);
        if (qobject_cast<const QComboBox*>(control)) expected.setHeight(units.Y(12));
        if (qobject_cast<const QFrame*>(control) && place.Height == 1) expected.setHeight(2);
        EXPECT_EQ(control->geometry(), expected);
    }
}

// What the engine or the port shows (modem replies, system messages) is shown as it is:
// what looks like markup stays text, and line breaks stay.
TEST_F(ModemSetupDlgTest, EngineTextsShowAsPlainText) {
    const Window w = Open();
    ModalAnswerer operatorPlays;
    const char* const texts[] = {"<b>x</b>", "1 < 2 && 3 > 2", "Ошибка на команде:\nERROR"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const QString shown = QString::fromUtf8(text);
        w.Dialog->ShowStatus(text);
        EXPECT_EQ(w.Status->text(), shown);
        EXPECT_EQ(w.Status->textFormat(), Qt::PlainText);
        operatorPlays.ThenPress(QMessageBox::Ok);
        w.Dialog->ShowError(text);
    }
    ASSERT_EQ(operatorPlays.Boxes().size(), std::size(texts));
    for (const SeenBox& box : operatorPlays.Boxes()) EXPECT_EQ(box.Format, Qt::PlainText);
}

// A row the column cuts short shows whole in its tooltip, plain as it came.
TEST_F(ModemSetupDlgTest, EachLogRowsTooltipHoldsItsWholeText) {
    const Window w = Open();
    const std::string texts[] = {"Выполнение команды: AT+IPR=9600", std::string(300, 'W') + " конец",
                                 "<b>x</b> & <i>y</i>", "Модем не отвечает!\nПроверьте подключение"};
    for (const std::string& text : texts) w.Dialog->AppendLogRow(text);
    ASSERT_EQ(w.Log->rowCount(), static_cast<int>(std::size(texts)));
    for (int row = 0; row < w.Log->rowCount(); ++row) {
        const QString tip = w.Log->item(row, 0)->toolTip();
        // As a tooltip renders it: text that might be markup is taken for markup.
        QTextDocument rendered;
        if (Qt::mightBeRichText(tip)) rendered.setHtml(tip);
        else rendered.setPlainText(tip);
        EXPECT_EQ(rendered.toPlainText().toStdString(), texts[row]);
    }
}

// A passed call's longest row, more times than the log holds: the vertical scroll bar
// comes and the column still fits beside it, so no sideways one; the status line keeps
// the row's whole text, drawn cut with an ellipsis.
TEST_F(ModemSetupDlgTest, ManyLongRowsBringNoSidewaysScrollBar) {
    const Window w = Open();
    const std::string longest = "Данные переданы без искажений: 1024 байт в каждую сторону за 1,1 сек., 7606 бит/сек.";
    for (int row = 0; row < 40; ++row) w.Dialog->AppendLogRow(longest);
    w.Dialog->ShowStatus(longest);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Log->verticalScrollBar()->maximum() > 0; }, Patience));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Log->horizontalScrollBar()->maximum(), 0) << "the log's rows need a sideways scroll bar";
    EXPECT_EQ(w.Status->text().toStdString(), longest);
}

// Every row shows whole in the column: one wider than the column wraps onto a taller
// row, one that fits keeps the height of a line.
TEST_F(ModemSetupDlgTest, RowsWiderThanTheColumnWrapWhole) {
    const Window w = Open();
    const struct {
        std::string Text;
        bool Wraps;
    } rows[] = {
        {"Выполнение команды ATH", false},
        {"Данные переданы без искажений: 1024 байт в каждую сторону за 1,1 сек., 7606 бит/сек.", true},
        {gFormat(CallMsg::CauseNumber, CallMsg::DeviceNoData, 88), true},
    };
    for (const auto& row : rows) w.Dialog->AppendLogRow(row.Text);
    QCoreApplication::processEvents();
    const int oneLine = w.Log->verticalHeader()->defaultSectionSize();
    // The text's room: the column less the item's margin on either side.
    const int margin = w.Log->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w.Log) + 1;
    const int room = w.Log->columnWidth(0) - 2 * margin;
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        SCOPED_TRACE(rows[i].Text);
        const QString text = QString::fromStdString(rows[i].Text);
        const QRect needed = w.Log->fontMetrics().boundingRect(QRect(0, 0, room, 10000), Qt::TextWordWrap, text);
        EXPECT_EQ(needed.width() > room || needed.height() > w.Log->fontMetrics().height(), rows[i].Wraps);
        EXPECT_GE(w.Log->rowHeight(i), needed.height()) << "the row is cut";
        if (rows[i].Wraps) EXPECT_GT(w.Log->rowHeight(i), oneLine);
        else EXPECT_EQ(w.Log->rowHeight(i), oneLine);
    }
    EXPECT_EQ(w.Log->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ModemSetupDlgTest, TheCloseBoxEndsTheWindowWithoutAsking) {
    Window w = Open();
    QSignalSpy finished(w.Dialog.get(), &QDialog::finished);
    w.Dialog->close();
    EXPECT_FALSE(w.Dialog->isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.first().first().toInt(), QDialog::Rejected);
}

// A damaged choice in the settings file: Start sends the virtual modem on COM1 not a
// byte, and the log names the choice to make.
TEST_F(ModemSetupDlgTest, DamagedStoredChoiceSendsTheModemNothing) {
    const struct {
        const char* Name;
        int Value;
        const char* Row;
    } cases[] = {
        {"IsLocal", 7, "Не выбрано место подключения! Выберите место подключения модема."},
        {"CommNum", 999, "Не выбран СОМ-порт! Выберите СОМ порт, к которому подключен модем."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Store.WriteInt(Section, "CommNum", 1);
        Store.WriteInt(Section, c.Name, c.Value);
        const auto modem = StartModem();
        const Window w = Open();
        w.StartStop->click();
        ASSERT_TRUE(w.WaitForEnd());
        EXPECT_EQ(Rows(w.Log), (QStringList{c.Row, NotSucceeded}));
        EXPECT_EQ(modem->ReceivedBytes(), "");
    }
}

// Closing at a random moment of a job, as the close box does, and destroying the window
// at once, as start-up does: the window is gone at once, no row comes after the close,
// the port is closed and nothing hangs.
TEST_F(ModemSetupDlgTest, ClosingDuringAJobAtRandomMomentsEndsAtOnce) {
    const auto modem = StartModem();
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(0, 2200);
    SCOPED_TRACE("seed " + std::to_string(seed));
    const int modemsOwn = OpenDescriptors(modem->DevicePath());
    // A few rounds a run: each run draws new moments, and speed is measured elsewhere.
    for (int round = 0; round < 8; ++round) {
        Window w = Open();
        bool closed = false;
        bool rowAfterClose = false;
        QObject::connect(w.Log->model(), &QAbstractItemModel::rowsInserted, [&] { rowAfterClose |= closed; });
        w.StartStop->click();
        QTest::qWait(moment(random));
        w.Dialog->close();
        closed = true;
        EXPECT_FALSE(w.Dialog->isVisible()) << round;
        w.Dialog.reset();
        EXPECT_FALSE(rowAfterClose) << round;
        EXPECT_EQ(OpenDescriptors(modem->DevicePath()), modemsOwn) << round;
    }
}

TEST_F(ModemSetupDlgTest, TheContextMenuOffersAboutAfterASeparator) {
    const Window w = Open();
    const auto* menu = w.Dialog->findChild<QMenu*>("systemMenu");
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_TRUE(actions[0]->isSeparator());
    EXPECT_EQ(actions[1]->text(), "&About...");
    EXPECT_EQ(actions[2]->text(), "Проверить модем");
    EXPECT_EQ(actions[3]->text(), "Уровень сигнала…");
    EXPECT_EQ(actions[4]->text(), "Снять PIN-код SIM-карты…");
    EXPECT_EQ(actions[5]->text(), "Пробный звонок…");
}

// The check runs on the selected port through the job's worker: the button turns into
// "Стоп!" for it and stops it.
TEST_F(ModemSetupDlgTest, TheCheckFillsTheLogAndTheButtonStopsIt) {
    const auto modem = StartModem([](VirtualModemOptions& o) {
        o.ComNumber = 3;
        o.Speed = 9600;
        o.NoSim = true;
        o.DelayMs = 100;
    });
    const Window w = Open();
    w.Com->setCurrentIndex(2);
    auto* check = w.Dialog->findChild<QAction*>("checkModemAction");
    ASSERT_NE(check, nullptr);
    const auto lastRowIs = [&](const QString& row) {
        return QTest::qWaitFor([&] { return Rows(w.Log).value(w.Log->rowCount() - 1) == row && w.StartStop->text() == "Старт!"; },
                               Patience);
    };

    check->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.StartStop->text() == "Стоп!"; }, Patience));
    ASSERT_TRUE(lastRowIs("Проверка завершена: модем отвечает."));
    const QStringList rows = Rows(w.Log);
    ASSERT_EQ(rows.size(), 8);
    EXPECT_EQ(rows[0], "Открытие СОМ3");
    EXPECT_EQ(rows[4], "SIM-карта: не вставлена");
    EXPECT_EQ(w.Status->text(), rows.last());

    check->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.StartStop->text() == "Стоп!"; }, Patience));
    w.StartStop->click();
    ASSERT_TRUE(lastRowIs("Проверка прервана!"));
    EXPECT_EQ(Store.ReadInt(Section, "CommNum", -9), -9) << "a check stores no choice";
}

TEST_F(ModemSetupDlgTest, F1WithoutModifiersAsksForHelp) {
    const Window w = Open();
    w.Dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.Dialog.get()));
    auto* help = w.Dialog->findChild<QShortcut*>("helpShortcut");
    ASSERT_NE(help, nullptr);
    QSignalSpy asked(help, &QShortcut::activated);
    ModalAnswerer operatorPlays;
    for (const auto modifiers : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
        QTest::keyClick(w.Com, Qt::Key_F1, modifiers);
    EXPECT_EQ(asked.count(), 0);
    operatorPlays.ThenPress(QMessageBox::Ok);
    QTest::keyClick(w.Com, Qt::Key_F1);
    EXPECT_EQ(asked.count(), 1);
    ASSERT_EQ(operatorPlays.Boxes().size(), 1u);
    EXPECT_EQ(operatorPlays.Boxes()[0].Caption, "Справка");
}

}  // namespace
