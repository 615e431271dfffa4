#pragma once

#include <QString>

class QWidget;

namespace kalvoran::ui {

// Makes the program usable with a screen reader and the keyboard alone: the
// text boxes answer every text query a screen reader makes, the pictures are
// images with names, the windows are dialogs whose texts are read when they
// open, and Return or Enter presses the focused push button as Space does.
// Call it once, after the application object exists and before any window.
void installAccessibility();

// Tells a screen reader's user what just changed in a window away from the
// focus, without moving the focus or showing anything. Does nothing while no
// assistive tool listens.
void announce(QWidget *window, const QString &message);

} // namespace kalvoran::ui
