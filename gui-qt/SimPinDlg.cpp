#include "gui-qt/SimPinDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/PinRows.h"
#include "frontend/SimPinForm.h"
#include "frontend/SimPinLayout.h"
#include "frontend/WindowChoices.h"
#include "gui-qt/DialogUnits.h"
#include "gui-qt/RefusalBox.h"

SimPinDlg::SimPinDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("simPinDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(SimPinCaption));
    setFont(DialogUnits::DialogFont());
    const DialogUnits du(font());
    setFixedSize(du.Rect(0, 0, KX_PIN_SIZE).size());

    auto* prompt = new QLabel(QString::fromUtf8(SimPinPrompt), this);
    prompt->setObjectName(QStringLiteral("pinPrompt"));
    prompt->setGeometry(du.Rect(KX_PIN_PROMPT_RECT));

    Field = new QLineEdit(this);
    Field->setObjectName(QStringLiteral("pinField"));
    Field->setGeometry(du.Rect(KX_PIN_FIELD_RECT));
    Field->setEchoMode(QLineEdit::Password);
    Field->setMaxLength(LongestPin);
    // Letters and signs are refused as they are typed; too few digits, on OK.
    Field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(LongestPin)), Field));
    Field->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    prompt->setBuddy(Field);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("pinOk"));
    ok->setGeometry(du.Rect(KX_PIN_OK_RECT));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &SimPinDlg::accept);

    auto* cancel = new QPushButton(QString::fromUtf8(CancelButtonText), this);
    cancel->setObjectName(QStringLiteral("pinCancel"));
    cancel->setGeometry(du.Rect(KX_PIN_CANCEL_RECT));
    connect(cancel, &QPushButton::clicked, this, &SimPinDlg::reject);

    Field->setFocus();
}

SimPinDlg::~SimPinDlg() {
    Field->clear();
    std::fill(Pin.begin(), Pin.end(), '\0');
}

std::string SimPinDlg::TakePin() { return std::exchange(Pin, std::string()); }

void SimPinDlg::accept() {
    std::string typed = Field->text().toStdString();
    if (const std::optional<FormRefusal> refused = gRefusePin(typed)) {
        std::fill(typed.begin(), typed.end(), '\0');
        gShowRefusal(this, *refused);
        Field->selectAll();
        Field->setFocus();
        return;
    }
    Pin = std::move(typed);
    Field->clear();
    QDialog::accept();
}
