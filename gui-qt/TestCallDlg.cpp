#include "gui-qt/TestCallDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <variant>

#include "frontend/TestCallForm.h"
#include "frontend/TestCallLayout.h"
#include "frontend/WindowChoices.h"
#include "gui-qt/DialogUnits.h"
#include "gui-qt/RefusalBox.h"

TestCallDlg::TestCallDlg(QWidget* owner, int callerCom) : QDialog(owner), CallerCom(callerCom) {
    setObjectName(QStringLiteral("testCallDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(TestCallCaption));
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Rect(0, 0, KX_CALL_SIZE).size());

    auto* numberPrompt = new QLabel(QString::fromUtf8(TestCallNumberPrompt), this);
    numberPrompt->setObjectName(QStringLiteral("numberPrompt"));
    numberPrompt->setGeometry(du.Rect(KX_CALL_NUMBER_PROMPT_RECT));
    Number = new QLineEdit(this);
    Number->setObjectName(QStringLiteral("numberField"));
    Number->setGeometry(du.Rect(KX_CALL_NUMBER_RECT));
    Number->setMaxLength(CallNumberFieldLimit);
    Number->setInputMethodHints(Qt::ImhDialableCharactersOnly);
    numberPrompt->setBuddy(Number);

    auto* portPrompt = new QLabel(QString::fromUtf8(TestCallPortPrompt), this);
    portPrompt->setObjectName(QStringLiteral("answerComPrompt"));
    portPrompt->setGeometry(du.Rect(KX_CALL_PORT_PROMPT_RECT));
    AnswerCom = new QComboBox(this);
    AnswerCom->setObjectName(QStringLiteral("answerComSelector"));
    AnswerCom->setGeometry(du.ClosedListRect(KX_CALL_PORT_RECT));
    AnswerCom->addItem(QString::fromUtf8(TestCallNoPort));
    for (int n = 1; n <= ComPortCount; ++n) AnswerCom->addItem(QStringLiteral("COM%1").arg(n));
    portPrompt->setBuddy(AnswerCom);

    Restart = new QCheckBox(QString::fromUtf8(TestCallRestart), this);
    Restart->setObjectName(QStringLiteral("restartBox"));
    Restart->setGeometry(du.Rect(KX_CALL_RESTART_RECT));
    Restart->setChecked(true);
    Restart->setEnabled(gOffersRestart(0));
    connect(AnswerCom, &QComboBox::currentIndexChanged, this,
            [this](int index) { Restart->setEnabled(gOffersRestart(index)); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("callOk"));
    ok->setGeometry(du.Rect(KX_CALL_OK_RECT));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TestCallDlg::accept);
    auto* cancel = new QPushButton(QString::fromUtf8(CancelButtonText), this);
    cancel->setObjectName(QStringLiteral("callCancel"));
    cancel->setGeometry(du.Rect(KX_CALL_CANCEL_RECT));
    connect(cancel, &QPushButton::clicked, this, &TestCallDlg::reject);

    Number->setFocus();
}

void TestCallDlg::accept() {
    const auto taken =
        gTakeTestCall({Number->text().toStdString(), AnswerCom->currentIndex(), Restart->isChecked()}, CallerCom);
    if (const auto* refused = std::get_if<FormRefusal>(&taken)) {
        gShowRefusal(this, *refused);
        if (refused->Focus == FormField::AnswerCom) return AnswerCom->setFocus();
        Number->setFocus();
        Number->selectAll();
        return;
    }
    Accepted = std::get<CallRequest>(taken);
    QDialog::accept();
}
