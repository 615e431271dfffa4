#include "ui/error_message.h"

#include <QMessageBox>

namespace kalvoran::ui {

void showErrorBox(QWidget *owner, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok, owner);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

} // namespace kalvoran::ui
