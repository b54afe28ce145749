#pragma once
// The status line: a sunken one-line label whose text, when it is longer than the line,
// ends in an ellipsis where it is cut, so that a dropped figure or unit never goes
// unmarked. Its text stays whole for whoever reads it.

#include <QLabel>

class StatusLineLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLineLabel(QWidget* parent) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
