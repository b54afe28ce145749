#include "gui-qt/HelpBox.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

#include "frontend/HelpText.h"

void gShowHelp(QWidget* owner) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(HelpCaption), QString::fromStdString(gHelpText()),
                    QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("helpBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void gAddHelpKey(QWidget* window, std::function<void()> onHelp) {
    // A shortcut of the whole window, so F1 works whichever control has the focus; a
    // sequence with a modifier is a different sequence and does not match.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("helpShortcut"));
    QObject::connect(key, &QShortcut::activated, window, std::move(onHelp));
}
