#include "ui/error_message.h"

#include "layout/calculation_layouts.h"
#include "ui/layout_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace kalvoran::ui {

void showErrorBox(QWidget *owner, const QString &message)
{
    // Where the keyboard was: a run's later message opens before the window
    // system has given the keyboard back after the one before.
    const QPointer<QWidget> window = owner != nullptr ? owner->window() : QApplication::activeWindow();
    {
        QMessageBox box(QMessageBox::Critical, toQString(layout::kErrorBoxTitle), message, QMessageBox::Ok, owner);
        // Modal to the whole program: a run waits for the box, so no other window may
        // take a click (such as the About window's OK) before it is dismissed.
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
    // A window manager gives the keyboard to the window below; on a bare X
    // server nobody would. The window's own focus widget takes it again.
    if (window && window->isVisible())
        window->activateWindow();
}

} // namespace kalvoran::ui
