#pragma once

#include "ui/layout.h"

#include <Qt>

class QWidget;

namespace kalvoran::ui {

// The window flags of a frame style: a plain top-level window with a title and
// a close box, never a minimise or maximise box. Tool windows and dialogs are
// not made Qt::Tool or Qt::Dialog: on X11 Qt marks such a window without an
// owner as transient for its hidden group leader, and window managers then keep
// it above every other window of the program, the About window included. The
// frame style reaches the window manager through applyFrameHints() instead.
[[nodiscard]] Qt::WindowFlags windowFlagsFor(Frame frame);

// Tells an X11 window manager the frame style of a top-level window that is
// about to be mapped: its window type (utility for a tool window, dialog for a
// fixed dialog) and, for a tool window, no task-bar entry. Does nothing on
// other platforms, which have no such hints. Call it before every show: a
// window manager drops a window's states when it is withdrawn.
void applyFrameHints(QWidget &window, Frame frame);

} // namespace kalvoran::ui
