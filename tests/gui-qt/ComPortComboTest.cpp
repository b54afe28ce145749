// The COM selector tells what stands behind each number, looked up each time it opens.

#include <QHelpEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "gui-qt/ComPortCombo.h"
#include "tests/serial/PtyPeer.h"

TEST(ComPortComboTest, EntriesWithADeviceStandOutAndTellWhatItIs) {
    PtyPeer peer(3);
    const QString device = QString::fromLatin1(ptsname(peer.Master));
    const QString ports = QString::fromStdString(peer.Home.PortsFolder());
    peer.Link(4, peer.Home.Path() + "/gone");

    ComPortCombo combo;
    for (int n = 1; n <= 32; ++n) combo.addItem(QStringLiteral("COM%1").arg(n));
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    const auto bold = [&](int index) { return combo.itemData(index, Qt::FontRole).value<QFont>().bold(); };
    const auto tip = [&](int index) { return combo.itemData(index, Qt::ToolTipRole).toString(); };

    combo.showPopup();
    EXPECT_EQ(combo.itemText(2), "COM3");
    EXPECT_TRUE(bold(2));
    EXPECT_EQ(tip(2), "COM3: " + device + " (ссылка " + ports + "/COM3)");
    EXPECT_FALSE(bold(3));
    EXPECT_TRUE(tip(3).startsWith("COM4: нет устройства: ")) << tip(3).toStdString();
    EXPECT_FALSE(bold(5));
    combo.hidePopup();

    // Plugged in while the list was closed: it shows the next time the list opens.
    peer.Link(6, device.toStdString());
    combo.showPopup();
    EXPECT_TRUE(bold(5));
    combo.hidePopup();

    // The chosen entry, without opening the list.
    combo.setCurrentIndex(5);
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), combo.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&combo, &help);
    EXPECT_EQ(combo.toolTip(), "COM6: " + device + " (ссылка " + ports + "/COM6)");
}
