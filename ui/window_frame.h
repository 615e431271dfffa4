#pragma once

#include "layout/layout.h"

#include <Qt>

class QWidget;

// How a frame style reaches the desktop. The portable windows call these two
// functions; each platform has its own implementation, compiled only there
// (window_frame_unix.cpp, window_frame_windows.cpp).

namespace kalvoran::ui {

// The window flags of a frame style on this platform: a title and a close box,
// never a minimise or maximise box; a fixed size for every frame but Sizable.
[[nodiscard]] Qt::WindowFlags windowFlagsFor(layout::WindowFrame frame);

// Tells the desktop what the flags alone cannot, just before the window is
// mapped. Call it before every show: an X11 window manager drops a window's
// states when it is withdrawn.
void applyFrameHints(QWidget &window, layout::WindowFrame frame);

} // namespace kalvoran::ui
