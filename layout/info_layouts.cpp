#include "layout/info_layouts.h"

#include "kalvoran/version.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace kalvoran::ui {

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

// Form1, the main window. A row's accessible name, after the names, parent,
// line and items columns, is what a screen reader calls a control that no
// label names. The description's wording ("requiered") is kept as users of
// earlier versions know it.
// clang-format off
constexpr std::array<Control, 14> kMainControls{{
    // name       idx kind               caption or text                        Left  Top   Width Height  style
    {"Label1",    -1, Kind::Label,       kProgramTitle,                         {0,    1320, 4815, 735},  kTitle},
    {"Command1",  -1, Kind::PushButton,  "S.I Units",                           {0,    6840, 1095, 375},  kBold},
    {"Command2",  -1, Kind::PushButton,  "British Units",                       {1200, 6840, 1215, 375},  kBold},
    {"Command3",  -1, Kind::PushButton,  "Exit",                                {3720, 6840, 975,  375},  kBold},
    {"Label2",     0, Kind::Label,       "This Program is a product from",      {360,  3600, 4095, 255},  kBoldCentredRed},
    {"Label2",     1, Kind::Label,       maker::kName,                          {360,  3840, 4095, 255},  kBoldCentredRedOnLightRed},
    {"Text1",     -1, Kind::TextBox,     maker::kWebAddress,                    {840,  4200, 3135, 285},  kBoldCentredRedOnLightRed, {}, {}, {}, {}, "Web address"},
    {"Label3",    -1, Kind::Label,       "Kalvoran program is a hydraulic calculator helps you in calculating the pressure "
                                         "losses ( Friction, elevation  and velocity )and to determine the duty of the pump "
                                         "requiered in your application or your project.",
                                                                                {0,    2400, 4695, 975},  kBoldBlack},
    {"Picture1",   0, Kind::PictureBox,  kSidePicture,                          {4920, 1320, 2775, 5895}, kToolkit, {}, {}, {}, {}, kSidePictureName},
    {"Label4",    -1, Kind::Label,       maker::kOwnership,                     {720,  4800, 3375, 855},  kNotice},
    {"Command4",  -1, Kind::PushButton,  "About",                               {2520, 6840, 975,  375},  kBold},
    {"Picture1",   1, Kind::PictureBox,  kBanner,                               {360,  120,  6975, 1095}, kToolkit, {}, {}, {}, {}, kBannerName},
    {"Label5",    -1, Kind::Label,       kCredit,                               {600,  5760, 3495, 735},  kCreditStyle},
    {"Line1",     -1, Kind::Line,        {},                                    {},                       kRedLine, {}, {}, {4800, 6600, 0, 6600}},
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
    // name       idx kind               caption                                Left  Top   Width Height  style
    {"Label1",    -1, Kind::Label,       "Thank you for using this version of the program..for more information please "
                                         "contact us at:",
                                                                                {120,  1320, 6855, 1335}, kThanks},
    {"Command1",  -1, Kind::PushButton,  "End",                                 {2880, 5640, 1335, 375},  kBold},
    {"Label2",    -1, Kind::Label,       maker::kName,                          {720,  2880, 5775, 735},  kMakerName},
    {"Label3",    -1, Kind::Label,       maker::kCityAndCountry,                {1560, 5160, 3855, 255},  kBoldCentredRed},
    {"Label4",    -1, Kind::Label,       kTelephoneCaption,                     {4320, 3840, 2655, 255},  kBoldCentredRed},
    {"Label5",    -1, Kind::Label,       kMobileCaption,                        {0,    3840, 2775, 255},  kBoldCentredRed},
    {"Label6",    -1, Kind::Label,       kEmailCaption,                         {1440, 4320, 4095, 375},  kBoldCentredRed},
    {"Label7",    -1, Kind::Label,       kWebSiteCaption,                       {1320, 4680, 4335, 495},  kBoldCentredRed},
    {"Picture1",  -1, Kind::PictureBox,  kBanner,                               {120,  120,  6855, 1095}, kToolkit, {}, {}, {}, {}, kBannerName},
}};
// clang-format on

constexpr std::array<ControlRef, 2> kFarewellTabOrder{{
    {"Command1"},
    {"Picture1"},
}};

// Form5, the About window. Its credit is element 1 of a control array.
// clang-format off
constexpr std::array<Control, 4> kAboutControls{{
    // name       idx kind                     caption      Left  Top   Width Height  style
    {"Text1",     -1, Kind::MultiLineTextBox,  kAboutText,  {120,  1440, 8055, 2055}, kToolkit, {}, {}, {}, {}, "About the program"},
    {"Command1",  -1, Kind::PushButton,        "OK",        {7560, 3600, 615,  375},  kToolkit},
    {"Picture1",  -1, Kind::PictureBox,        kBanner,     {600,  120,  6855, 1095}, kToolkit, {}, {}, {}, {}, kBannerName},
    {"Label5",     1, Kind::Label,             kCredit,     {120,  3600, 7095, 375},  kCreditStyle},
}};
// clang-format on

constexpr std::array<ControlRef, 3> kAboutTabOrder{{
    {"Text1"},
    {"Command1"},
    {"Picture1"},
}};

constexpr WindowLayout kMainLayout{
    "Form1",
    kProgramTitle,
    7755,
    7335,
    Frame::FixedToolWindow,
    kMainControls,
    kMainTabOrder,
};
constexpr WindowLayout kFarewellLayout{
    "Form4",
    "Thank you",
    7155,
    6060,
    Frame::FixedToolWindow,
    kFarewellControls,
    kFarewellTabOrder,
};
constexpr WindowLayout kAboutLayout{
    "Form5",
    "About The program",
    8265,
    4005,
    Frame::Sizable,
    kAboutControls,
    kAboutTabOrder,
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

} // namespace kalvoran::ui
