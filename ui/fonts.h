#pragma once

#include "layout/layout.h"

#include <QFont>

#include <array>
#include <string_view>

namespace kalvoran::ui {

// A face the windows may be drawn in, and how its point sizes compare with
// those of "MS Sans Serif" that the layout was drawn for.
struct Face
{
    std::string_view family;
    double scale;
};

// Liberation Sans runs wider than the bitmap "MS Sans Serif": at 0.91, 8.25 pt
// becomes 7.5 pt, 10 pixels at 96 dots per inch, and every caption keeps to
// the box drawn for it (the layout tests measure each one in the face found).
inline constexpr Face kLiberationSans{"Liberation Sans", 0.91};

// The faces in the order they are looked for; the first one installed is used.
//
// On Windows, "Microsoft Sans Serif" (TrueType, on every Windows since 2000)
// is used, never the bitmap "MS Sans Serif" (sserife.fon). Qt 6.4's GDI
// font database, addFontToDatabase(), registers a face without
// TMPF_VECTOR/TMPF_TRUETYPE as not scalable, at its bitmap heights only;
// QFontDatabasePrivate::bestFoundry() then takes the nearest of those heights,
// so at 125-200 % the text is not the size asked for. Nor is it smoothed:
// the DirectWrite engine, which Qt tries whenever high-DPI scaling is active
// (useDirectWrite()), reads no bitmap face, and Qt falls back to its GDI
// engine, which draws a bitmap face as it is, unsmoothed and untransformed
// (QWindowsFontEngine::supportsTransformation()). A face of that name may
// also be another's stand-in with its own widths (Wine ships one), so it is
// not looked for at all. Where Microsoft Sans Serif is not installed, the
// build's own Liberation Sans is used, from its resources.
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
[[nodiscard]] QFont fontFor(const Style &style);

} // namespace kalvoran::ui
