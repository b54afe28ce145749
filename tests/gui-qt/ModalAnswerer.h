#pragma once
// Plays the operator for modal windows in tests: each modal window that is shown gets the
// next scripted answer, and every message box shown is recorded. A modal window with no
// answer left is recorded, closed and reported as a failure, so nothing hangs.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

struct SeenBox {
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QWidget* Parent = nullptr;
    Qt::TextFormat Format = Qt::AutoText;
};

class ModalAnswerer : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswerer() { qApp->installEventFilter(this); }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    // Answers, in the order the windows are shown.
    void Then(Answer answer) { Answers.push_back(std::move(answer)); }
    void ThenPress(QMessageBox::StandardButton button) { Then(Press(button)); }
    static Answer Press(QMessageBox::StandardButton button) {
        return [button](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(button)->click(); };
    }

    const std::vector<SeenBox>& Boxes() const { return Seen; }
    bool AllAnswered() const { return Answers.empty(); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(object);
        if (!window->isWindow() || !window->isModal()) return false;

        if (auto* box = qobject_cast<QMessageBox*>(window))
            Seen.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget(), box->textFormat()});
        Answer answer;
        if (!Answers.empty()) {
            answer = std::move(Answers.front());
            Answers.pop_front();
        } else {
            ADD_FAILURE() << "unexpected modal window " << window->objectName().toStdString() << ": "
                          << window->windowTitle().toStdString();
            answer = [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); };
        }
        // Answered from the window's own modal loop, once it runs.
        QTimer::singleShot(0, window, [window, answer] { answer(window); });
        return false;
    }

private:
    std::deque<Answer> Answers;
    std::vector<SeenBox> Seen;
};
