#pragma once

#include "ui/layout.h"

#include <QFont>

namespace kalvoran::ui {

// The face the windows are drawn in, and how its point sizes compare with
// those of "MS Sans Serif" that the layout was drawn for.
struct Face
{
    const char *family;
    const char *fallback;
    double scale;
};

#if defined(Q_OS_WIN)
// Windows has the face itself (and maps it to Microsoft Sans Serif where the
// old bitmap face is gone).
inline constexpr Face kFace{"MS Sans Serif", "Microsoft Sans Serif", 1.0};
#else
// Liberation Sans, from Debian's font packages, runs wider than the bitmap
// "MS Sans Serif" it replaces. At this scale 8.25 pt becomes 7.5 pt, 10 pixels
// at 96 dots per inch, and every caption keeps to the box drawn for it (the
// layout tests check each one with the real font metrics).
inline constexpr Face kFace{"Liberation Sans", "DejaVu Sans", 0.91};
#endif

// The font for a style: the face at the style's point size scaled to our face,
// bold (weight 700) and italic as named.
[[nodiscard]] QFont fontFor(const Style &style);

} // namespace kalvoran::ui
