#include "ui/HelpBox.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

namespace {

const char HelpText[] =
    "Тервана готовит GSM-модем к обмену данными между прибором учёта и компьютером.\n"
    "\n"
    "Выберите:\n"
    "• СОМ порт — порт компьютера, к которому подключён модем;\n"
    "• тип используемого модема — его модель;\n"
    "• скорость СОМ-порта прибора — на эту скорость будет настроен порт модема;\n"
    "• место подключения — где модем будет работать: у прибора учёта или у компьютера.\n"
    "\n"
    "«Старт!» начинает настройку: утилита ищет модем на десяти скоростях, устанавливает "
    "скорость прибора, передаёт команды настройки и сохраняет их в профиле модема. Каждый "
    "шаг записывается в журнал операций. Пока идёт настройка, кнопка называется «Стоп!» и "
    "прерывает её.\n"
    "«Сохранить лог» записывает журнал операций в текстовый файл (.txt).\n"
    "\n"
    "Если модем не отвечает, проверьте:\n"
    "• кабель между модемом и компьютером и питание модема;\n"
    "• номер COM-порта. В Linux порту COMn соответствует устройство, на которое указывает "
    "ссылка COMn в папке ~/.config/Halvstad/ports (например, на /dev/ttyUSB0), а без такой "
    "ссылки — n-й найденный последовательный порт (см. README);\n"
    "• что ваш пользователь входит в группу dialout (sudo usermod -aG dialout $USER, "
    "затем войдите в систему заново).";

}  // namespace

void gShowHelp(QWidget* owner) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Справка"), QString::fromUtf8(HelpText),
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
