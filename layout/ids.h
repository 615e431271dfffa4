#pragma once

#include "layout/layout.h"

// Names that say what a control does, for the controls that code reaches by
// name. The layout tables keep the short names the windows were drawn with
// ("Command3", "Frame1"); those names repeat across windows with different
// meanings ("Command3" is Exit on the main window and Back on a calculation
// window), so code and tests go through these instead. The input and result
// fields need no entry: their layout names ("L", "Q", "ELF") already say
// what they hold.

namespace kalvoran::layout::ids {

// The main window, Form1.
namespace main {
inline constexpr ControlRef kSiUnits{"Command1"};
inline constexpr ControlRef kBritishUnits{"Command2"};
inline constexpr ControlRef kExit{"Command3"};
inline constexpr ControlRef kAbout{"Command4"};
inline constexpr ControlRef kWebAddress{"Text1"};
inline constexpr ControlRef kSidePicture{"Picture1", 0};
inline constexpr ControlRef kBanner{"Picture1", 1};
inline constexpr ControlRef kNoticesLine{"Line1"};
} // namespace main

// Both calculation windows, Form2 (SI) and Form3 (British).
namespace calculation {
inline constexpr ControlRef kCalculate{"Command1"};
inline constexpr ControlRef kExit{"Command2"};
inline constexpr ControlRef kBack{"Command3"};
inline constexpr ControlRef kClear{"Command4"}; // inside the results frame
inline constexpr ControlRef kResultsFrame{"Frame1"};
inline constexpr ControlRef kElevationCaption{"Label22"}; // names the unit of "elevationdrop"
inline constexpr ControlRef kCFactorHint{"Label7"};       // the hint under the C factor
} // namespace calculation

// The farewell window, Form4.
namespace farewell {
inline constexpr ControlRef kEnd{"Command1"};
inline constexpr ControlRef kBanner{"Picture1"};
} // namespace farewell

// The About window, Form5.
namespace about {
inline constexpr ControlRef kOk{"Command1"};
inline constexpr ControlRef kAboutText{"Text1"};
inline constexpr ControlRef kBanner{"Picture1"};
} // namespace about

} // namespace kalvoran::layout::ids
