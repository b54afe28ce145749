// The About box and the help box, run modally in a real event loop.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "frontend/BuildDate.h"
#include "gui-qt/AboutDlg.h"
#include "gui-qt/HelpBox.h"
#include "serial/ComNames.h"
#include "tests/gui-qt/ModalAnswerer.h"

TEST(About, ShowsCaptionVersionAndCopyright) {
    AboutDlg about;
    EXPECT_EQ(about.windowTitle(), "О программе");
    EXPECT_EQ(about.findChild<QLabel*>("versionText")->text(), "Тервана   Version 1.0");
    const QString copyright = about.findChild<QLabel*>("copyrightText")->text();
    EXPECT_TRUE(copyright.contains("Halvstad")) << copyright.toStdString();
    EXPECT_TRUE(copyright.endsWith(QString::fromStdString("   " + gBuildDate()))) << copyright.toStdString();
    EXPECT_FALSE(copyright.endsWith(QString::fromStdString("    " + gBuildDate())));
    EXPECT_TRUE(about.findChild<QPushButton*>("okButton")->isDefault());
}

TEST(About, KeepsTheLayoutsPlacement) {
    AboutDlg about;
    const QRect icon = about.findChild<QLabel*>("aboutIcon")->geometry();
    const QRect version = about.findChild<QLabel*>("versionText")->geometry();
    const QRect copyright = about.findChild<QLabel*>("copyrightText")->geometry();
    const QRect ok = about.findChild<QPushButton*>("okButton")->geometry();
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    for (const QRect& r : {icon, version, copyright, ok}) EXPECT_TRUE(about.rect().contains(r));
    EXPECT_LT(icon.right(), version.left());
    EXPECT_EQ(version.left(), copyright.left());
    EXPECT_LT(version.bottom(), copyright.top());
    EXPECT_LT(version.right(), ok.left());
    EXPECT_GT(copyright.right(), ok.left());
}

TEST(About, OkEscAndTheCloseBoxEndIt) {
    const std::pair<const char*, ModalAnswerer::Answer> ways[] = {
        {"OK", [](QWidget* w) { w->findChild<QPushButton*>("okButton")->click(); }},
        {"Enter on OK", [](QWidget* w) { QTest::keyClick(w->findChild<QPushButton*>("okButton"), Qt::Key_Return); }},
        {"Esc", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
        {"close box", [](QWidget* w) { w->close(); }},
    };
    for (const auto& [name, way] : ways) {
        ModalAnswerer operatorPlays;
        operatorPlays.Then(way);
        AboutDlg about;
        about.exec();
        EXPECT_TRUE(operatorPlays.AllAnswered()) << name;
        EXPECT_FALSE(about.isVisible()) << name;
    }
}

TEST(About, F1WithoutModifiersAsksForHelp) {
    const std::pair<Qt::KeyboardModifiers, int> cases[] = {
        {Qt::NoModifier, 1},
        {Qt::ShiftModifier, 0},
        {Qt::ControlModifier, 0},
        {Qt::AltModifier, 0},
    };
    for (const auto& [modifiers, expected] : cases) {
        AboutDlg about;
        QSignalSpy help(&about, &AboutDlg::HelpRequested);
        about.show();
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return about.isActiveWindow(); }));
        QTest::keyClick(about.findChild<QPushButton*>("okButton"), Qt::Key_F1, modifiers);
        EXPECT_EQ(help.count(), expected) << modifiers;
        EXPECT_TRUE(about.isVisible());
    }
}

TEST(Help, TellsWhatTheChoicesAndButtonsDoAndWhatToCheck) {
    QWidget owner;
    ModalAnswerer operatorPlays;
    operatorPlays.ThenPress(QMessageBox::Ok);
    gShowHelp(&owner);
    ASSERT_EQ(operatorPlays.Boxes().size(), 1u);
    const SeenBox& box = operatorPlays.Boxes()[0];
    EXPECT_EQ(box.Caption, "Справка");
    EXPECT_EQ(box.Icon, QMessageBox::Information);
    EXPECT_EQ(box.Parent, &owner);
    for (const char* part : {"СОМ порт", "тип используемого модема", "скорость СОМ-порта прибора",
                             "место подключения", "«Старт!»", "«Стоп!»", "«Сохранить лог»", "кабель",
                             "номер СОМ-порта", "dialout"})
        EXPECT_TRUE(box.Text.contains(QString::fromUtf8(part))) << part;
    // The tests' own configuration folder holds the ports folder, and the help names it.
    const QString folder = QString::fromStdString(gPortsFolder());
    EXPECT_TRUE(box.Text.contains(QStringLiteral(" %1 ").arg(folder))) << gPortsFolder();
    // The labels write СОМ in Cyrillic letters; so does the help, apart from the link names.
    for (const char* latin : {"COM-порт", "COM порт"}) EXPECT_FALSE(box.Text.contains(QString::fromUtf8(latin))) << latin;
}
