#pragma once

namespace kalvoran::app {

// Chooses the windowing platform before the application starts, unless the
// user chose one (QT_QPA_PLATFORM): X11 wherever an X server is at hand, an
// XWayland one included, because only there can the program place its windows
// (centred at first, back where they were after that); native Wayland where
// there is no X server; else Qt's own default.
void choosePlatform();

} // namespace kalvoran::app
