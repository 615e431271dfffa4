#pragma once

#include "kalvoran/version.h"
#include "layout/layout.h"

#include <string_view>

namespace kalvoran::layout {

// The maker of the program, as the main, farewell and About windows name it.
// The captions of the main and farewell windows, and the About window's
// credit, are built from these; the About text spells its details out, and the
// tests hold it to these. All of it is invented: the addresses lie under the
// example domains and the telephone numbers in the range kept for fiction.
namespace maker {
inline constexpr std::string_view kName = kCompany;
inline constexpr std::string_view kWebAddress = kalvoran::kWebAddress;
inline constexpr std::string_view kEmail = "info@orrimark.example.com";
inline constexpr std::string_view kTelephone = "+1 555 0142";
inline constexpr std::string_view kMobile = "+1 555 0187";
inline constexpr std::string_view kCityAndCountry = "Veldmoor, Estrania";
inline constexpr std::string_view kOwnership = "All rights reserved to Orrimark (c) 2026";
inline constexpr std::string_view kDeveloperTitle = "Eng.";
inline constexpr std::string_view kDeveloperName = "Tamsin Quillfeather";
} // namespace maker

// The main window, Form1: the program's title, the two unit systems, About
// and Exit, and the maker's notices.
[[nodiscard]] const WindowLayout &mainLayout();
// The farewell window, Form4: thanks and the maker's contact details.
[[nodiscard]] const WindowLayout &farewellLayout();
// The About window, Form5: the About text and the developer credit.
[[nodiscard]] const WindowLayout &aboutLayout();

} // namespace kalvoran::layout
