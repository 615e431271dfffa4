#pragma once

namespace kalvoran::app {

// Watches the toolkit's start-up: when it cannot come up, the toolkit would
// abort with a core dump. Instead the program exits with status 1 and says
// why on stderr: one line of its own when no graphical display can be opened,
// and for any other cause (a missing or broken platform plugin) a line of its
// own followed by the toolkit's own diagnostic (in a message box on Windows,
// where nobody reads stderr). Lives from just before the QApplication is
// built until just after.
class DisplayGuard
{
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;
};

} // namespace kalvoran::app
