#pragma once

#include "ui/layout.h"

namespace kalvoran::ui {

// The SI calculation window, Form2.
[[nodiscard]] const WindowLayout &siCalculationLayout();
// The British calculation window, Form3: Form2's table with its differences.
[[nodiscard]] const WindowLayout &britishCalculationLayout();

} // namespace kalvoran::ui
