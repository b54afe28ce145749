#include "gui-qt/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "frontend/AboutText.h"
#include "gui-qt/DialogUnits.h"
#include "gui-qt/HelpBox.h"


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

    setWindowTitle(QString::fromUtf8(AboutCaption));
    VersionText->setText(QString::fromStdString(gAboutVersionText()));
    CopyrightText->setText(QString::fromStdString(gAboutCopyrightText()));
    gAddHelpKey(this, [this] { emit HelpRequested(); });
}
