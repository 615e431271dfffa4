// The floor for the start-up and memory measurements: the least a Qt Widgets
// program can do to put a window like the main window on the screen. One
// top-level widget of the main window's client size, white, with a caption,
// shown, then the event loop. Built in the same tree with the same flags as
// the program, so that what it costs is what any Qt Widgets program costs.
//
// With --text the window also shows one line of text in a label. The plain
// floor never lays out a glyph, so it never starts the font machinery
// (fontconfig's configuration, a FreeType face, text shaping); the variant
// shows what that costs on its own, which any window with a caption in it
// pays.

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kalvoran v 1.2"));
    window.setFixedSize(517, 489);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    if (withText) {
        auto *label = new QLabel(QStringLiteral("Kalvoran v 1.2"), &window);
        label->move(24, 24);
    }
    window.show();

    return QApplication::exec();
}
