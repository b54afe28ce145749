#include "gui-qt/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "frontend/AboutBoxLayout.h"
#include "frontend/AboutText.h"
#include "gui-qt/DialogUnits.h"
#include "gui-qt/HelpBox.h"

AboutDlg::AboutDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("aboutDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Rect(0, 0, KX_ABOUT_SIZE).size());

    const QRect iconRect = du.Rect(KX_ABOUT_ICON_RECT);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setGeometry(iconRect);
    icon->setPixmap(windowIcon().pixmap(iconRect.size()));

    VersionText = new QLabel(this);
    VersionText->setObjectName(QStringLiteral("versionText"));
    VersionText->setTextFormat(Qt::PlainText);
    VersionText->setGeometry(du.Rect(KX_ABOUT_VERSION_RECT));

    CopyrightText = new QLabel(this);
    CopyrightText->setObjectName(QStringLiteral("copyrightText"));
    CopyrightText->setTextFormat(Qt::PlainText);
    CopyrightText->setGeometry(du.Rect(KX_ABOUT_COPYRIGHT_RECT));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(du.Rect(KX_ABOUT_OK_RECT));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(QString::fromUtf8(AboutCaption));
    VersionText->setText(QString::fromStdString(gAboutVersionText()));
    CopyrightText->setText(QString::fromStdString(gAboutCopyrightText()));
    gAddHelpKey(this, [this] { emit HelpRequested(); });
}
