#pragma once
// The COM selector: entries "COM1".."COMn" that tell what stands behind each number.
// Each time the list opens it is looked up afresh: an entry with a device is bold, and
// every entry's tooltip names the device and its identity or says there is none. The
// closed selector's own tooltip tells the same of the chosen entry.

#include <QComboBox>

class ComPortCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // Marks every entry by what stands behind its number now.
    void Refresh();
    void showPopup() override;

protected:
    bool event(QEvent* event) override;
};
