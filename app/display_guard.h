#pragma once

namespace kalvoran::app {

// Watches the toolkit's start-up: when no graphical display can be opened,
// the toolkit would abort with a core dump. Instead the program prints one
// line on stderr saying that it needs a display and exits with status 1.
// Lives from just before the QApplication is built until just after.
class DisplayGuard
{
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;
};

} // namespace kalvoran::app
