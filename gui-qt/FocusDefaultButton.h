#pragma once
// A push button that is the dialog's default button only while it has the focus, as
// the platform's dialogs treat push buttons: Enter then presses it. Without the focus it
// is a plain button, so Enter elsewhere presses nothing. (Qt's autoDefault would keep the
// first button that ever had the focus as the default.)

#include <QPushButton>

class FocusDefaultButton : public QPushButton {
    Q_OBJECT
public:
    FocusDefaultButton(const QString& text, QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
