// The floor for the start-up and memory measurements: the least a Qt Widgets
// program does to put a window like the main window on the screen with text in
// it. One top-level widget of the main window's client size, white, with a
// caption, one label and one push button, shown, then the event loop. Any
// window with text pays for fontconfig's configuration, a FreeType face and
// text shaping, so a window without any would be no fair floor. Built in the
// same tree with the same flags as the program.

#include "kalvoran/version.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QString title = QStringLiteral("Kalvoran v ") + QLatin1StringView(kalvoran::kVersion);

    QWidget window;
    window.setWindowTitle(title);
    window.setFixedSize(517, 489);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto *label = new QLabel(title, &window);
    label->move(24, 24);
    auto *button = new QPushButton(QStringLiteral("Exit"), &window);
    button->setGeometry(248, 456, 65, 25);
    window.show();

    return QApplication::exec();
}
