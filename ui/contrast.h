#pragma once

#include "layout/layout.h"

// The tables' red (255, 0, 0) reads at 4.00:1 on white and 2.58:1 on the light
// red, under WCAG's 4.5:1. Where the desktop asks for more contrast the
// windows draw a darker red in its place, as the web page does; nothing else
// changes. Qt 6.4 tells no contrast setting (QStyleHints has it from Qt 6.10,
// as accessibility()->contrastPreference(): this can go with Qt 6.10), so each
// platform is asked itself (contrast.cpp).

namespace kalvoran::ui {

// Windows' contrast themes; on Linux the desktop portal's contrast setting.
[[nodiscard]] bool desktopAsksMoreContrast();

// What the windows built from now on draw: set once at start-up.
void setMoreContrast(bool more);
[[nodiscard]] bool moreContrast();

// The colour drawn for a table's colour.
[[nodiscard]] constexpr layout::Rgb shownColour(layout::Rgb colour, bool more)
{
    return more && colour == layout::kRed ? layout::kMoreContrastRed : colour;
}

} // namespace kalvoran::ui
