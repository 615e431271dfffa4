#pragma once

#include <QAccessible>
#include <QString>

#include <optional>

class QWidget;

namespace kalvoran::ui {

// Makes the program usable with a screen reader: the text boxes answer every
// text query a screen reader makes, the pictures are images with names, and
// the windows are dialogs whose texts are read when they open. Call it once,
// after the application object exists and before any window.
void installAccessibility();

// Tells a screen reader's user what just changed in its window away from the
// focus, without moving the focus or showing anything. A member of the window
// it speaks for. Does nothing while no assistive tool listens.
class Announcer
{
public:
    explicit Announcer(QWidget *window);
    ~Announcer();
    Announcer(const Announcer &) = delete;
    Announcer &operator=(const Announcer &) = delete;

    void announce(const QString &message);

private:
    QWidget *m_window;
    std::optional<QAccessible::Id> m_notice; // registered on the first announcement heard
};

} // namespace kalvoran::ui
