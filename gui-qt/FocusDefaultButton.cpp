#include "gui-qt/FocusDefaultButton.h"

#include <QFocusEvent>

FocusDefaultButton::FocusDefaultButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
    setDefault(false);
}

// A default button presses itself on Enter; QDialog finds none while no button has the
// focus, and then does nothing.
void FocusDefaultButton::focusInEvent(QFocusEvent* event) {
    setDefault(true);
    QPushButton::focusInEvent(event);
}

void FocusDefaultButton::focusOutEvent(QFocusEvent* event) {
    setDefault(false);
    QPushButton::focusOutEvent(event);
}
