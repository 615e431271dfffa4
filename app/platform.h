#pragma once

class QString;

// What the program shell does differently on each platform; each platform has
// its own implementation, compiled only there (platform_unix.cpp,
// platform_windows.cpp).

namespace kalvoran::app {

// Chooses the windowing platform before the application starts, where there
// is a choice to make.
void choosePlatform();

// Tells the user why the program could not start, where the user will see it.
void reportStartFailure(const QString &text);

} // namespace kalvoran::app
