#pragma once

#include "layout/layout.h"

#include <QFont>

#include <array>
#include <string_view>

namespace kalvoran::ui {

using layout::Face;
using layout::kLiberationSans;

// The faces in the order they are looked for; the first one installed is used.
// On Windows the TrueType Microsoft Sans Serif, then the Liberation Sans the
// build carries; never the bitmap "MS Sans Serif", whose name Wine also gives
// a stand-in with other widths.
// Workaround: Qt 6.4 on Windows matches a bitmap face only at its bitmap
// heights (addFontToDatabase, bestFoundry) and draws it unsmoothed, so it comes
// out too small and jagged at 125-200 %; no upstream report found. Stays while
// Wine's stand-in differs, whatever Qt does.
#if defined(Q_OS_WIN)
inline constexpr std::array kFaces{Face{"Microsoft Sans Serif", 1.0}, kLiberationSans};
#else
// DejaVu Sans is wider still; it stands in only where Liberation Sans is missing.
inline constexpr std::array kFaces{kLiberationSans, Face{"DejaVu Sans", 0.91}};
#endif

// The first face of kFaces installed here (the last one if none is).
[[nodiscard]] const Face &windowFace();

// The font for a style: the face at the style's point size scaled to the face,
// bold (weight 700) and italic as named.
[[nodiscard]] QFont fontFor(const layout::Style &style);

} // namespace kalvoran::ui
