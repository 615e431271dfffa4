#pragma once

namespace kalvoran::app {

// Held while the QApplication is built: where the toolkit cannot come up it
// would abort with a core dump; instead the program says why (no display, or
// the toolkit's own diagnostic) and exits with status 1.
class DisplayGuard
{
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;
};

} // namespace kalvoran::app
