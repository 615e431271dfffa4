#include "layout/info_layouts.h"

#include "kalvoran/version.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace kalvoran::layout {

namespace {

// Glues string constants together at compile time, so that a caption can be
// built from the maker's details and still sit in a constexpr table.
template<const std::string_view &...Parts> class Joined
{
    static constexpr std::size_t kSize = (Parts.size() + ...);
    static constexpr std::array<char, kSize> kChars = [] {
        std::array<char, kSize> chars{};
        std::size_t at = 0;
        for (const std::string_view part : {Parts...}) {
            for (const char c : part)
                chars[at++] = c;
        }
        return chars;
    }();

public:
    static constexpr std::string_view value{kChars.data(), kChars.size()};
};

template<const std::string_view &...Parts> constexpr std::string_view joined = Joined<Parts...>::value;

constexpr std::string_view kProgramTitleLead = "Kalvoran v ";
constexpr std::string_view kProgramTitle = joined<kProgramTitleLead, kVersion>;
constexpr std::string_view kBanner = ":/pictures/banner.gif";
constexpr std::string_view kSidePicture = ":/pictures/side.jpg";

// What the pictures show, for those who cannot see them.
constexpr std::string_view kBannerName = "Banner: Kalvoran, hydraulic calculations for water piping";
constexpr std::string_view kSidePictureName
    = "Side picture: a pump lifting water up a pipe, past a pressure gauge, a gate valve and a non-return valve";

// The pieces the maker's captions are made of.
constexpr std::string_view kSpace = " ";
constexpr std::string_view kCreditLead = "Programmed && developed by ";
constexpr std::string_view kTelLead = "Tel. ";
constexpr std::string_view kMobileLead = "Mobile: ";
constexpr std::string_view kEmailLead = "Email: ";
constexpr std::string_view kWebSiteLead = "WebSite : ";

constexpr std::string_view kCredit = joined<kCreditLead, maker::kDeveloperTitle, kSpace, maker::kDeveloperName>;
constexpr std::string_view kTelephoneCaption = joined<kTelLead, maker::kTelephone>;
constexpr std::string_view kMobileCaption = joined<kMobileLead, maker::kMobile>;
constexpr std::string_view kEmailCaption = joined<kEmailLead, maker::kEmail>;
constexpr std::string_view kWebSiteCaption = joined<kWebSiteLead, maker::kWebAddress>;

// Nine lines, each ending in a line break; the box word-wraps the long ones.
constexpr std::string_view kAboutText
    = "This program is a product of Orrimark, a small engineering firm for water supply and fire-protection piping.\n"
      "Web site: www.orrimark.example.com\n"
      "Also on the web: www.orrimark.example.org\n"
      "All rights reserved to Orrimark (c) 2026.\n"
      "No part of this program may be copied, sold or passed on\n"
      "without the written permission of Orrimark.\n"
      "\"Kalvoran\" and \"Orrimark\" are trade marks of Orrimark.\n"
      "Join the Orrimark mailing list for news of new versions at www.orrimark.example.com/mailing-list\n"
      "For more information please write to info@orrimark.example.com or support@orrimark.example.org\n";

constexpr Style kTitle{.points = 24, .bold = true, .align = Align::Centre, .text = kRed, .background = kLightRed};
constexpr Style kBoldCentredRed{.bold = true, .align = Align::Centre, .text = kRed};
constexpr Style kBoldCentredRedOnLightRed{.bold = true, .align = Align::Centre, .text = kRed, .background = kLightRed};
constexpr Style kBoldBlack{.bold = true};
constexpr Style kNotice{.points = 9.75, .bold = true, .align = Align::Centre, .text = kRed};
constexpr Style kCreditStyle{.points = 9.75, .bold = true, .italic = true, .align = Align::Centre, .text = kDarkRed};
constexpr Style kThanks{.points = 18, .bold = true, .italic = true, .align = Align::Centre, .text = kDarkRed};
constexpr Style kMakerName{.points = 18, .italic = true, .align = Align::Centre, .text = kRed};

// Form1, the main window. A row's accessible name is what a screen reader
// calls a control that no label names. The description's wording ("requiered") is kept as users of
// earlier versions know it.
// clang-format off
constexpr std::array<Control, 14> kMainControls{{
    {.name = "Label1", .kind = Kind::Label, .caption = kProgramTitle, .box = {0, 1320, 4815, 735}, .style = kTitle},
    {.name = "Command1", .kind = Kind::PushButton, .caption = "S.I Units", .box = {0, 6840, 1095, 375}, .style = kBold},
    {.name = "Command2", .kind = Kind::PushButton, .caption = "British Units", .box = {1200, 6840, 1215, 375}, .style = kBold},
    {.name = "Command3", .kind = Kind::PushButton, .caption = "Exit", .box = {3720, 6840, 975, 375}, .style = kBold},
    {.name = "Label2", .index = 0, .kind = Kind::Label, .caption = "This Program is a product from", .box = {360, 3600, 4095, 255}, .style = kBoldCentredRed},
    {.name = "Label2", .index = 1, .kind = Kind::Label, .caption = maker::kName, .box = {360, 3840, 4095, 255}, .style = kBoldCentredRedOnLightRed},
    {.name = "Text1", .kind = Kind::TextBox, .caption = maker::kWebAddress, .box = {840, 4200, 3135, 285}, .style = kBoldCentredRedOnLightRed, .accessibleName = "Web address"},
    {.name = "Label3", .kind = Kind::Label, .caption = "Kalvoran program is a hydraulic calculator helps you in calculating the pressure "
                                                          "losses ( Friction, elevation  and velocity )and to determine the duty of the pump "
                                                          "requiered in your application or your project.",
                                                .box = {0, 2400, 4695, 975}, .style = kBoldBlack},
    {.name = "Picture1", .index = 0, .kind = Kind::PictureBox, .caption = kSidePicture, .box = {4920, 1320, 2775, 5895}, .style = kToolkit, .accessibleName = kSidePictureName},
    {.name = "Label4", .kind = Kind::Label, .caption = maker::kOwnership, .box = {720, 4800, 3375, 855}, .style = kNotice},
    {.name = "Command4", .kind = Kind::PushButton, .caption = "About", .box = {2520, 6840, 975, 375}, .style = kBold},
    {.name = "Picture1", .index = 1, .kind = Kind::PictureBox, .caption = kBanner, .box = {360, 120, 6975, 1095}, .style = kToolkit, .accessibleName = kBannerName},
    {.name = "Label5", .kind = Kind::Label, .caption = kCredit, .box = {600, 5760, 3495, 735}, .style = kCreditStyle},
    {.name = "Line1", .kind = Kind::Line, .style = kRedLine, .line = {4800, 6600, 0, 6600}},
}};
// clang-format on

constexpr std::array<ControlRef, 7> kMainTabOrder{{
    {"Command1"},
    {"Command2"},
    {"Command3"},
    {"Text1"},
    {"Picture1", 0},
    {"Command4"},
    {"Picture1", 1},
}};

// Form4, the farewell window.
// clang-format off
constexpr std::array<Control, 9> kFarewellControls{{
    {.name = "Label1", .kind = Kind::Label, .caption = "Thank you for using this version of the program..for more information please "
                                                          "contact us at:",
                                                .box = {120, 1320, 6855, 1335}, .style = kThanks},
    {.name = "Command1", .kind = Kind::PushButton, .caption = "End", .box = {2880, 5640, 1335, 375}, .style = kBold},
    {.name = "Label2", .kind = Kind::Label, .caption = maker::kName, .box = {720, 2880, 5775, 735}, .style = kMakerName},
    {.name = "Label3", .kind = Kind::Label, .caption = maker::kCityAndCountry, .box = {1560, 5160, 3855, 255}, .style = kBoldCentredRed},
    {.name = "Label4", .kind = Kind::Label, .caption = kTelephoneCaption, .box = {4320, 3840, 2655, 255}, .style = kBoldCentredRed},
    {.name = "Label5", .kind = Kind::Label, .caption = kMobileCaption, .box = {0, 3840, 2775, 255}, .style = kBoldCentredRed},
    {.name = "Label6", .kind = Kind::Label, .caption = kEmailCaption, .box = {1440, 4320, 4095, 375}, .style = kBoldCentredRed},
    {.name = "Label7", .kind = Kind::Label, .caption = kWebSiteCaption, .box = {1320, 4680, 4335, 495}, .style = kBoldCentredRed},
    {.name = "Picture1", .kind = Kind::PictureBox, .caption = kBanner, .box = {120, 120, 6855, 1095}, .style = kToolkit, .accessibleName = kBannerName},
}};
// clang-format on

constexpr std::array<ControlRef, 2> kFarewellTabOrder{{
    {"Command1"},
    {"Picture1"},
}};

// Form5, the About window. Its credit is element 1 of a control array.
// clang-format off
constexpr std::array<Control, 4> kAboutControls{{
    {.name = "Text1", .kind = Kind::MultiLineTextBox, .caption = kAboutText, .box = {120, 1440, 8055, 2055}, .style = kToolkit, .accessibleName = "About the program"},
    {.name = "Command1", .kind = Kind::PushButton, .caption = "OK", .box = {7560, 3600, 615, 375}, .style = kToolkit},
    {.name = "Picture1", .kind = Kind::PictureBox, .caption = kBanner, .box = {600, 120, 6855, 1095}, .style = kToolkit, .accessibleName = kBannerName},
    {.name = "Label5", .index = 1, .kind = Kind::Label, .caption = kCredit, .box = {120, 3600, 7095, 375}, .style = kCreditStyle},
}};
// clang-format on

constexpr std::array<ControlRef, 3> kAboutTabOrder{{
    {"Text1"},
    {"Command1"},
    {"Picture1"},
}};

constexpr WindowLayout kMainLayout{
    .name = "Form1",
    .caption = kProgramTitle,
    .clientWidth = 7755,
    .clientHeight = 7335,
    .frame = WindowFrame::FixedToolWindow,
    .controls = kMainControls,
    .tabOrder = kMainTabOrder,
};
constexpr WindowLayout kFarewellLayout{
    .name = "Form4",
    .caption = "Thank you",
    .clientWidth = 7155,
    .clientHeight = 6060,
    .frame = WindowFrame::FixedToolWindow,
    .controls = kFarewellControls,
    .tabOrder = kFarewellTabOrder,
};
constexpr WindowLayout kAboutLayout{
    .name = "Form5",
    .caption = "About The program",
    .clientWidth = 8265,
    .clientHeight = 4005,
    .frame = WindowFrame::Sizable,
    .controls = kAboutControls,
    .tabOrder = kAboutTabOrder,
};

} // namespace

const WindowLayout &mainLayout()
{
    return kMainLayout;
}

const WindowLayout &farewellLayout()
{
    return kFarewellLayout;
}

const WindowLayout &aboutLayout()
{
    return kAboutLayout;
}

} // namespace kalvoran::layout
