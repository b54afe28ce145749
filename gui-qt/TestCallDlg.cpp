#include "gui-qt/TestCallDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "engine/CallMessages.h"
#include "engine/CallNumber.h"
#include "engine/Messages.h"
#include "gui-qt/DialogUnits.h"
#include "frontend/WindowChoices.h"

TestCallDlg::TestCallDlg(QWidget* owner, int callerCom) : QDialog(owner), CallerCom(callerCom) {
    setObjectName(QStringLiteral("testCallDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(TestCallCaption));
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.X(186), du.Y(102));

    auto* numberPrompt = new QLabel(QString::fromUtf8(TestCallNumberPrompt), this);
    numberPrompt->setObjectName(QStringLiteral("numberPrompt"));
    numberPrompt->setGeometry(du.Rect(7, 7, 172, 8));
    Number = new QLineEdit(this);
    Number->setObjectName(QStringLiteral("numberField"));
    Number->setGeometry(du.Rect(7, 18, 172, 12));
    Number->setMaxLength(40);
    Number->setInputMethodHints(Qt::ImhDialableCharactersOnly);
    numberPrompt->setBuddy(Number);

    auto* portPrompt = new QLabel(QString::fromUtf8(TestCallPortPrompt), this);
    portPrompt->setObjectName(QStringLiteral("answerComPrompt"));
    portPrompt->setGeometry(du.Rect(7, 36, 172, 8));
    AnswerCom = new QComboBox(this);
    AnswerCom->setObjectName(QStringLiteral("answerComSelector"));
    AnswerCom->setGeometry(du.Rect(7, 46, 172, 12));
    AnswerCom->addItem(QString::fromUtf8(TestCallNoPort));
    for (int n = 1; n <= ComPortCount; ++n) AnswerCom->addItem(QStringLiteral("COM%1").arg(n));
    portPrompt->setBuddy(AnswerCom);

    Restart = new QCheckBox(QString::fromUtf8(TestCallRestart), this);
    Restart->setObjectName(QStringLiteral("restartBox"));
    Restart->setGeometry(du.Rect(7, 64, 172, 10));
    Restart->setChecked(true);
    // Only a modem in the workshop can be restarted.
    Restart->setEnabled(false);
    connect(AnswerCom, &QComboBox::currentIndexChanged, this, [this](int index) { Restart->setEnabled(index > 0); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("callOk"));
    ok->setGeometry(du.Rect(73, 80, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TestCallDlg::accept);
    auto* cancel = new QPushButton(QString::fromUtf8(SimPinCancel), this);
    cancel->setObjectName(QStringLiteral("callCancel"));
    cancel->setGeometry(du.Rect(129, 80, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &TestCallDlg::reject);

    Number->setFocus();
}

void TestCallDlg::Refuse(const char* text, QWidget* focus) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(Msg::ErrorCaption), QString::fromUtf8(text),
                    QMessageBox::Ok, this);
    box.exec();
    focus->setFocus();
}

void TestCallDlg::accept() {
    const std::string number = Number->text().toStdString();
    if (!gIsCallNumber(number)) {
        Refuse(CallMsg::BadNumber, Number);
        Number->selectAll();
        return;
    }
    if (AnswerCom->currentIndex() == CallerCom) return Refuse(CallMsg::SamePort, AnswerCom);
    Accepted = CallRequest{number, AnswerCom->currentIndex(), AnswerCom->currentIndex() > 0 && Restart->isChecked()};
    QDialog::accept();
}
