#include "gui-qt/RefusalBox.h"

#include <QMessageBox>

#include "frontend/FormRefusal.h"

void gShowRefusal(QWidget* owner, const FormRefusal& refusal) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(refusal.Caption), QString::fromUtf8(refusal.Text),
                    QMessageBox::Ok, owner);
    box.exec();
}
