#include "gui-qt/ComPortCombo.h"

#include <QEvent>
#include <QFont>

#include "serial/PortIdentity.h"

namespace {

QString Describe(const PortIdentity& port) {
    return QStringLiteral("COM%1: %2").arg(port.Number).arg(QString::fromStdString(gDescribePort(port)));
}

}  // namespace

void ComPortCombo::Refresh() {
    const std::vector<PortIdentity> ports = gIdentifyComPorts(count());
    for (const PortIdentity& port : ports) {
        const int index = port.Number - 1;
        setItemData(index, Describe(port), Qt::ToolTipRole);
        QFont bold = font();
        bold.setBold(true);
        setItemData(index, port.Presence == PortPresence::Device ? QVariant(bold) : QVariant(), Qt::FontRole);
    }
}

void ComPortCombo::showPopup() {
    Refresh();
    QComboBox::showPopup();
}

bool ComPortCombo::event(QEvent* event) {
    // Looked up when asked, so a modem plugged in since the list last opened shows.
    if (event->type() == QEvent::ToolTip) {
        const int index = currentIndex();
        setToolTip(index < 0 ? QString() : Describe(gIdentifyComPorts(index + 1).back()));
    }
    return QComboBox::event(event);
}
