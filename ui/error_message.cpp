#include "ui/error_message.h"

#include <QMessageBox>

namespace kalvoran::ui {

void showErrorBox(QWidget *owner, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok, owner);
    // Modal to the whole program: a run waits for the box, so no other window may
    // take a click (such as the About window's OK) before it is dismissed.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace kalvoran::ui
