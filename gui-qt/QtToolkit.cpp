#include "gui-qt/QtToolkit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <utility>

#include "gui-qt/LogView.h"

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QtToolkit::QtToolkit(QWidget& window)
    : Window(window),
      Requests([this] { return QThread::currentThread() == thread(); },
               [this] { QMetaObject::invokeMethod(this, [this] { Requests.RunNext(); }, Qt::QueuedConnection); }) {}

void QtToolkit::AddCombo(int id, QComboBox* combo) { Combos[id] = combo; }
void QtToolkit::AddTextControl(int id, QWidget* control) { TextControls[id] = control; }
void QtToolkit::AddLog(int id, LogView* log) { Logs[id] = log; }

QComboBox* QtToolkit::Combo(int id) const {
    const auto found = Combos.find(id);
    return found == Combos.end() ? nullptr : found->second;
}

LogView* QtToolkit::Log(int id) const {
    const auto found = Logs.find(id);
    return found == Logs.end() ? nullptr : found->second;
}

void QtToolkit::SetSignalView(std::function<void(const SignalReading&)> show) { SignalView = std::move(show); }

void QtToolkit::ShowSignal(const SignalReading& reading) {
    Requests.Run([this, reading] {
        if (SignalView) SignalView(reading);
    });
}

void QtToolkit::CancelRequests() { Requests.Cancel(); }

void QtToolkit::ShowMessage(const std::string& text, const std::string& caption) {
    Requests.Run([this, text, caption] {
        QMessageBox box(QMessageBox::Information, ToQt(caption), ToQt(text), QMessageBox::Ok, &Window);
        // The engine's and the port's texts carry modem replies and system messages: never markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    });
}

bool QtToolkit::AskYesNo(const std::string& text, const std::string& caption) {
    return Requests.Run<bool>(false, [this, text, caption] {
        QMessageBox box(QMessageBox::Question, ToQt(caption), ToQt(text), QMessageBox::Yes | QMessageBox::No, &Window);
        box.setTextFormat(Qt::PlainText);
        box.setObjectName(QStringLiteral("questionBox"));
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    });
}

void QtToolkit::ComboClear(int id) {
    Requests.Run([combo = Combo(id)] {
        if (combo) combo->clear();
    });
}

void QtToolkit::ComboAppend(int id, const std::string& text) {
    Requests.Run([combo = Combo(id), text] {
        if (combo) combo->addItem(ToQt(text));
    });
}

void QtToolkit::ComboSelect(int id, int index) {
    Requests.Run([combo = Combo(id), index] {
        if (combo) combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    });
}

int QtToolkit::ComboSelected(int id) {
    return Requests.Run<int>(-1, [combo = Combo(id)] { return combo ? combo->currentIndex() : -1; });
}

std::string QtToolkit::ComboText(int id) {
    return Requests.Run<std::string>({}, [combo = Combo(id)] {
        return combo ? combo->currentText().toStdString() : std::string();
    });
}

void QtToolkit::SetControlText(int id, const std::string& text) {
    const auto found = TextControls.find(id);
    if (found == TextControls.end()) return;
    Requests.Run([control = found->second, text] {
        if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(ToQt(text));
        if (auto* label = qobject_cast<QLabel*>(control)) label->setText(ToQt(text));
    });
}

int QtToolkit::LogRowCount(int id) {
    return Requests.Run<int>(0, [log = Log(id)] { return log ? log->rowCount() : 0; });
}

void QtToolkit::LogInsertRow(int id, int position, const std::string& text) {
    Requests.Run([log = Log(id), position, text] {
        if (!log) return;
        const int row = std::clamp(position, 0, log->rowCount());
        log->insertRow(row);
        auto* item = new QTableWidgetItem(ToQt(text));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        // The whole row in a tip too, as the native window gives it; a tooltip would take
        // plain text that looks like markup for markup.
        item->setToolTip(Qt::convertFromPlainText(ToQt(text)));
        log->setItem(row, 0, item);
        log->FitRow(row);
    });
}

void QtToolkit::LogScrollTo(int id, int row) {
    Requests.Run([log = Log(id), row] {
        if (log && log->item(row, 0)) log->scrollToItem(log->item(row, 0));
    });
}

void QtToolkit::LogDeleteAll(int id) {
    Requests.Run([log = Log(id)] {
        if (log) log->setRowCount(0);
    });
}

std::string QtToolkit::LogRowText(int id, int row) {
    return Requests.Run<std::string>({}, [log = Log(id), row] {
        const QTableWidgetItem* item = log ? log->item(row, 0) : nullptr;
        return item ? item->text().toStdString() : std::string();
    });
}
