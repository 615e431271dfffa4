#pragma once

#include "ui/layout.h"

#include <QFont>
#include <QStringList>

namespace kalvoran::ui {

// The face that stands in for "MS Sans Serif": Liberation Sans, with DejaVu
// Sans behind it, both from Debian's font packages.
inline constexpr const char *kFaceFamily = "Liberation Sans";

// The font for a style: the face at the style's point size scaled to our face,
// bold (weight 700) and italic as named.
[[nodiscard]] QFont fontFor(const Style &style);

} // namespace kalvoran::ui
