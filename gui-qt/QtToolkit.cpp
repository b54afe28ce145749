#include "gui-qt/QtToolkit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QtToolkit::QtToolkit(QWidget& window) : Window(window) {}

void QtToolkit::AddCombo(int id, QComboBox* combo) { Combos[id] = combo; }
void QtToolkit::AddTextControl(int id, QWidget* control) { TextControls[id] = control; }
void QtToolkit::AddLog(int id, QTableWidget* log) { Logs[id] = log; }

QComboBox* QtToolkit::Combo(int id) const {
    const auto found = Combos.find(id);
    return found == Combos.end() ? nullptr : found->second;
}

QTableWidget* QtToolkit::Log(int id) const {
    const auto found = Logs.find(id);
    return found == Logs.end() ? nullptr : found->second;
}

bool QtToolkit::IsCancelled() {
    std::lock_guard lock(Mutex);
    return Cancelled;
}

template <class Result>
Result QtToolkit::Request(Result ifCancelled, std::function<Result()> work) {
    if (QThread::currentThread() == thread()) return IsCancelled() ? ifCancelled : work();

    struct Pending {
        bool Done = false;
        Result Value{};
    };
    const auto pending = std::make_shared<Pending>();
    QMetaObject::invokeMethod(
        this,
        [this, pending, work = std::move(work)] {
            if (IsCancelled()) return;
            Result value = work();
            {
                std::lock_guard lock(Mutex);
                pending->Value = std::move(value);
                pending->Done = true;
            }
            Finished.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(Mutex);
    Finished.wait(lock, [&] { return pending->Done || Cancelled; });
    return pending->Done ? pending->Value : ifCancelled;
}

void QtToolkit::Request(std::function<void()> work) {
    Request<bool>(false, [work = std::move(work)] {
        work();
        return true;
    });
}

void QtToolkit::CancelRequests() {
    {
        std::lock_guard lock(Mutex);
        Cancelled = true;
    }
    Finished.notify_all();
}

void QtToolkit::ShowMessage(const std::string& text, const std::string& caption) {
    Request([this, text, caption] {
        QMessageBox box(QMessageBox::Information, ToQt(caption), ToQt(text), QMessageBox::Ok, &Window);
        // The engine's and the port's texts carry modem replies and system messages: never markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    });
}

void QtToolkit::ComboClear(int id) {
    Request([combo = Combo(id)] {
        if (combo) combo->clear();
    });
}

void QtToolkit::ComboAppend(int id, const std::string& text) {
    Request([combo = Combo(id), text] {
        if (combo) combo->addItem(ToQt(text));
    });
}

void QtToolkit::ComboSelect(int id, int index) {
    Request([combo = Combo(id), index] {
        if (combo) combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    });
}

int QtToolkit::ComboSelected(int id) {
    return Request<int>(-1, [combo = Combo(id)] { return combo ? combo->currentIndex() : -1; });
}

std::string QtToolkit::ComboText(int id) {
    return Request<std::string>({}, [combo = Combo(id)] {
        return combo ? combo->currentText().toStdString() : std::string();
    });
}

void QtToolkit::SetControlText(int id, const std::string& text) {
    const auto found = TextControls.find(id);
    if (found == TextControls.end()) return;
    Request([control = found->second, text] {
        if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(ToQt(text));
        if (auto* label = qobject_cast<QLabel*>(control)) label->setText(ToQt(text));
    });
}

int QtToolkit::LogRowCount(int id) {
    return Request<int>(0, [log = Log(id)] { return log ? log->rowCount() : 0; });
}

void QtToolkit::LogInsertRow(int id, int position, const std::string& text) {
    Request([log = Log(id), position, text] {
        if (!log) return;
        const int row = std::clamp(position, 0, log->rowCount());
        log->insertRow(row);
        auto* item = new QTableWidgetItem(ToQt(text));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        // The whole row, also where the column cuts it; a tooltip would take plain text
        // that looks like markup for markup.
        item->setToolTip(Qt::convertFromPlainText(ToQt(text)));
        log->setItem(row, 0, item);
    });
}

void QtToolkit::LogScrollTo(int id, int row) {
    Request([log = Log(id), row] {
        if (log && log->item(row, 0)) log->scrollToItem(log->item(row, 0));
    });
}

void QtToolkit::LogDeleteAll(int id) {
    Request([log = Log(id)] {
        if (log) log->setRowCount(0);
    });
}

std::string QtToolkit::LogRowText(int id, int row) {
    return Request<std::string>({}, [log = Log(id), row] {
        const QTableWidgetItem* item = log ? log->item(row, 0) : nullptr;
        return item ? item->text().toStdString() : std::string();
    });
}
