#pragma once

#include "layout/layout.h"

namespace kalvoran::layout {

// The SI calculation window, Form2.
[[nodiscard]] const WindowLayout &siCalculationLayout();
// The British calculation window, Form3: Form2's table with its differences.
[[nodiscard]] const WindowLayout &britishCalculationLayout();

// The title of the box that shows a run's message.
inline constexpr std::string_view kErrorBoxTitle = "Error";

// What a calculation window tells screen readers when its results frame
// appears or is cleared, without moving the focus.
namespace announcement {
inline constexpr std::string_view kResultsShown = "Results shown";
inline constexpr std::string_view kResultsCleared = "Results cleared";
} // namespace announcement

} // namespace kalvoran::layout
