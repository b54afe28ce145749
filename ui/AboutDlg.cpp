#include "ui/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "ui/BuildDate.h"
#include "ui/DialogUnits.h"
#include "ui/HelpBox.h"

namespace {

constexpr int VersionMajor = 1;
constexpr int VersionMinor = 0;

}  // namespace

QString gAboutVersionText() {
    return QStringLiteral("%1   Version %2.%3").arg(QStringLiteral("Тервана")).arg(VersionMajor).arg(VersionMinor);
}

QString gAboutCopyrightText() {
    return QStringLiteral("Copyright (C) Halvstad   ") + QString::fromStdString(gBuildDate());
}

AboutDlg::AboutDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("aboutDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogUnits::DialogFont());
    // Layout 100, in dialog units.
    const DialogUnits du(font());
    setFixedSize(du.X(235), du.Y(55));

    const QRect iconRect = du.Rect(11, 17, 20, 20);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setGeometry(iconRect);
    icon->setPixmap(windowIcon().pixmap(iconRect.size()));

    VersionText = new QLabel(this);
    VersionText->setObjectName(QStringLiteral("versionText"));
    VersionText->setTextFormat(Qt::PlainText);
    VersionText->setGeometry(du.Rect(40, 10, 133, 8));

    CopyrightText = new QLabel(this);
    CopyrightText->setObjectName(QStringLiteral("copyrightText"));
    CopyrightText->setTextFormat(Qt::PlainText);
    CopyrightText->setGeometry(du.Rect(40, 25, 188, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(QStringLiteral("О программе"));
    VersionText->setText(gAboutVersionText());
    CopyrightText->setText(gAboutCopyrightText());
    gAddHelpKey(this, [this] { emit HelpRequested(); });
}
