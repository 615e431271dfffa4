#include "layout/calculation_layouts.h"

#include "calc/calculation.h"

#include <array>

namespace kalvoran::layout {

namespace {

namespace field = calc::field;

constexpr std::array<std::string_view, 5> kCFactors{"100", "120", "130", "140", "150"};
constexpr std::array<std::string_view, 14> kMillimetres{
    "15", "20", "25", "32", "40", "50", "65", "80", "90", "100", "125", "150", "200", "250"};
constexpr std::array<std::string_view, 14> kInches{
    "0.5", "0.75", "1", "1.25", "1.50", "2", "2.5", "3", "3.5", "4", "5", "6", "8", "10"};

// The hint under the C factor, which a screen reader reads with the field too.
constexpr std::string_view kCFactorHint = "For schedule 40 steel use the C factor as 120";

// Form2, the SI window. Boxes in twips; the controls after Frame1 sit inside it
// and are placed in its coordinates. "requiered" in two captions is kept as
// users of earlier versions know it.
// clang-format off
constexpr std::array<Control, 49> kSiControls{{
    {.name = "Label14", .kind = Kind::Label, .caption = "Details", .box = {240, 240, 1455, 375}, .style = kBoldRed},
    {.name = "Label1", .kind = Kind::Label, .caption = "The Dia. of the pipe  ( mm )", .box = {240, 720, 2175, 375}, .style = kRegular, .names = field::kDiameter},
    {.name = field::kDiameter, .kind = Kind::ComboBox, .caption = "Select Dia", .box = {2520, 600, 1215, 315}, .style = kToolkit, .items = kMillimetres},
    {.name = "Label2", .kind = Kind::Label, .caption = "The length of the pipe (  m  )", .box = {240, 1080, 2055, 495}, .style = kRegular, .names = field::kLength},
    {.name = field::kLength, .kind = Kind::TextBox, .caption = "1.00", .box = {2520, 1080, 1215, 375}, .style = kToolkit},
    {.name = "Label4", .kind = Kind::Label, .caption = "Friction loss factor", .box = {240, 1680, 1935, 375}, .style = kRegular, .names = field::kCFactor},
    {.name = field::kCFactor, .kind = Kind::ComboBox, .caption = "Select C", .box = {2520, 1680, 1215, 315}, .style = kToolkit, .items = kCFactors, .accessibleDescription = kCFactorHint},
    {.name = "Label7", .kind = Kind::Label, .caption = kCFactorHint, .box = {360, 2280, 3375, 375}, .style = kItalicRed},
    {.name = "Label3", .kind = Kind::Label, .caption = "Flow of water in the pipe (  L/min  )", .box = {4440, 480, 1695, 735}, .style = kCentred, .names = field::kFlow},
    {.name = field::kFlow, .kind = Kind::TextBox, .caption = "1.00", .box = {6240, 480, 1215, 375}, .style = kToolkit},
    {.name = "Label20", .kind = Kind::Label, .caption = "Elevation between the pump and the goal point ( m )", .box = {4440, 1080, 1695, 735}, .style = kCentred, .names = field::kElevation},
    {.name = field::kElevation, .kind = Kind::TextBox, .caption = "", .box = {6240, 1200, 1215, 375}, .style = kToolkit},
    {.name = "Label23", .kind = Kind::Label, .caption = "Residual Pressure requiered at the goal point (bar)", .box = {4440, 1800, 1575, 615}, .style = kCentred, .names = field::kResidualPressure},
    {.name = field::kResidualPressure, .kind = Kind::TextBox, .caption = "0.0", .box = {6240, 1920, 1215, 375}, .style = kToolkit},
    {.name = "Line1", .kind = Kind::Line, .style = kRedLine, .line = {120, 2640, 8640, 2640}},
    {.name = "Label8", .index = 0, .kind = Kind::Label, .caption = "Fittings", .box = {120, 2760, 1095, 375}, .style = kBoldRed},
    {.name = "Label5", .kind = Kind::Label, .caption = "No. of Tees", .box = {120, 3240, 975, 375}, .style = kRegular, .names = field::kTees},
    {.name = field::kTees, .kind = Kind::TextBox, .caption = "0.0", .box = {1800, 3120, 975, 375}, .style = kToolkit},
    {.name = "Label6", .kind = Kind::Label, .caption = "No. of Elbows 90", .box = {120, 3720, 1335, 375}, .style = kRegular, .names = field::kElbows},
    {.name = field::kElbows, .kind = Kind::TextBox, .caption = "0.0", .box = {1800, 3600, 975, 375}, .style = kToolkit},
    {.name = "Label9", .kind = Kind::Label, .caption = "No. of Long Elbows 90", .box = {120, 4200, 1815, 375}, .style = kRegular, .names = field::kLongElbows},
    {.name = field::kLongElbows, .kind = Kind::TextBox, .caption = "0.0", .box = {1800, 4080, 975, 375}, .style = kToolkit},
    {.name = "Label8", .index = 1, .kind = Kind::Label, .caption = "Valves", .box = {4080, 2760, 1095, 375}, .style = kBoldRed},
    {.name = "Label10", .kind = Kind::Label, .caption = "No. of Butterfly Valves", .box = {3840, 3120, 1695, 495}, .style = kRegular, .names = field::kButterflyValves},
    {.name = field::kButterflyValves, .kind = Kind::TextBox, .caption = "0.0", .box = {5640, 3120, 975, 375}, .style = kToolkit},
    {.name = "Label11", .kind = Kind::Label, .caption = "No. of Gate Valves", .box = {3840, 3600, 1455, 375}, .style = kRegular, .names = field::kGateValves},
    {.name = field::kGateValves, .kind = Kind::TextBox, .caption = "0.0", .box = {5640, 3600, 975, 375}, .style = kToolkit},
    {.name = "Label12", .kind = Kind::Label, .caption = "No. of Swing Check", .box = {3840, 4080, 1455, 375}, .style = kRegular, .names = field::kSwingCheckValves},
    {.name = field::kSwingCheckValves, .kind = Kind::TextBox, .caption = "0.0", .box = {5640, 4080, 975, 375}, .style = kToolkit},
    {.name = "Command1", .kind = Kind::PushButton, .caption = "Calculate Now", .box = {6720, 4680, 1935, 375}, .style = kBold},
    {.name = "Line3", .kind = Kind::Line, .style = kRedLine, .line = {120, 5160, 8640, 5160}},
    {.name = "Frame1", .kind = Kind::GroupBox, .caption = "Results", .box = {0, 5280, 8655, 3015}, .style = kBoldRed},
    {.name = "Command2", .kind = Kind::PushButton, .caption = "Exit", .box = {1680, 8400, 1815, 375}, .style = kBold},
    {.name = "Command3", .kind = Kind::PushButton, .caption = "Back", .box = {4680, 8400, 1815, 375}, .style = kBold},
    // Inside Frame1, in frame coordinates.
    {.name = "Label19", .kind = Kind::Label, .caption = "Calculated Equivalent Length of fittings ( m )", .box = {120, 360, 1935, 495}, .style = kCentred, .names = field::kFittingsLength, .parent = "Frame1"},
    {.name = field::kFittingsLength, .kind = Kind::TextBox, .caption = "0.0", .box = {2160, 360, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Label15", .kind = Kind::Label, .caption = "Calculated Equivalent Length of the pipe ( m )", .box = {4560, 360, 1815, 495}, .style = kCentred, .names = field::kPipeLength, .parent = "Frame1"},
    {.name = field::kPipeLength, .kind = Kind::TextBox, .caption = "0.0", .box = {6480, 360, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Label16", .kind = Kind::Label, .caption = "Pressure Friction losses in the pipe ( bars/meter )", .box = {240, 1080, 1815, 615}, .style = kCentred, .names = field::kFrictionLoss, .parent = "Frame1"},
    {.name = field::kFrictionLoss, .kind = Kind::TextBox, .caption = "0.0", .box = {2160, 1080, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Label17", .kind = Kind::Label, .caption = "Pressure Drop in the pipe ( bars )", .box = {4920, 960, 1335, 495}, .style = kCentred, .names = field::kPressureDrop, .parent = "Frame1"},
    {.name = field::kPressureDrop, .kind = Kind::TextBox, .caption = "0.0", .box = {6480, 960, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Label18", .kind = Kind::Label, .caption = "Velocity of flow in the pipe ( m/sec. )", .box = {480, 1800, 1335, 495}, .style = kCentred, .names = field::kVelocity, .parent = "Frame1"},
    {.name = field::kVelocity, .kind = Kind::TextBox, .caption = "0.0", .box = {2160, 1800, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    // elevationdrop holds a pressure in bar, so its label says bar.
    {.name = "Label22", .kind = Kind::Label, .caption = "Elevation Drop / Gain ( bar )", .box = {4440, 1680, 1935, 495}, .style = kCentred, .names = field::kElevationPressure, .parent = "Frame1"},
    {.name = field::kElevationPressure, .kind = Kind::TextBox, .caption = "0.0", .box = {6480, 1560, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Label21", .kind = Kind::Label, .caption = "Requiered Pump Head ( m )", .box = {4920, 2160, 1215, 495}, .style = kCentredRed, .names = field::kPumpHead, .parent = "Frame1"},
    {.name = field::kPumpHead, .kind = Kind::TextBox, .caption = "", .box = {6480, 2160, 1575, 495}, .style = kToolkit, .parent = "Frame1"},
    {.name = "Command4", .kind = Kind::PushButton, .caption = "Clear", .box = {240, 2520, 1095, 375}, .style = kToolkit, .parent = "Frame1"},
}};
// clang-format on

// What Form3 changes of Form2's rows: the whole caption and box of each. Its
// diameter list is in inches as well.
struct Difference
{
    std::string_view name;
    std::string_view caption;
    TwipsBox box;
};

// clang-format off
constexpr std::array<Difference, 13> kBritishDifferences{{
    {.name = "Label1", .caption = "The Dia. of the pipe  ( inch )", .box = {240, 720, 2175, 375}},
    {.name = "Label2", .caption = "The length of the pipe (  ft  )", .box = {240, 1080, 2055, 495}},
    {.name = "Label3", .caption = "Flow of water in the pipe (  gpm  )", .box = {4440, 480, 1695, 495}},
    {.name = "Label7", .caption = kCFactorHint, .box = {360, 2160, 3375, 375}},
    {.name = "Label20", .caption = "Elevation between the pump and the goal point ( ft )", .box = {4440, 1080, 1695, 735}},
    {.name = "Label23", .caption = "Residual Pressure requiered at the goal point (psi)", .box = {4440, 1800, 1575, 615}},
    {.name = "Label19", .caption = "Calculated Equivalent Length of fittings ( ft )", .box = {360, 360, 1695, 495}},
    {.name = "Label15", .caption = "Calculated Equivalent Length of the pipe ( ft )", .box = {4560, 360, 1815, 495}},
    {.name = "Label16", .caption = "Pressure Friction losses in the pipe ( psi / ft )", .box = {480, 1080, 1215, 615}},
    {.name = "Label17", .caption = "Pressure Drop in the pipe ( psi )", .box = {4800, 960, 1335, 495}},
    {.name = "Label18", .caption = "Velocity of flow in the pipe ( ft/sec. )", .box = {480, 1800, 1335, 495}},
    {.name = "Label22", .caption = "Elevation Drop / Gain ( psi )", .box = {4800, 1560, 1575, 495}},
    {.name = "Label21", .caption = "Requiered Pump Head ( psi )", .box = {4920, 2160, 1215, 495}},
}};
// clang-format on

constexpr std::array<ControlRef, 23> kSiTabOrder{{
    {field::kLength},
    {field::kFlow},
    {field::kTees},
    {field::kElbows},
    {field::kLongElbows},
    {field::kButterflyValves},
    {field::kGateValves},
    {field::kSwingCheckValves},
    {"Command1"},
    {field::kFittingsLength},
    {field::kPipeLength},
    {field::kFrictionLoss},
    {field::kPressureDrop},
    {field::kVelocity},
    {"Command2"},
    {"Command3"},
    {"Command4"},
    {field::kElevation},
    {field::kPumpHead},
    {field::kElevationPressure},
    {field::kDiameter},
    {field::kCFactor},
    {field::kResidualPressure},
}};

// Not SI's order: the British window's own, kept as users of earlier versions know it.
constexpr std::array<ControlRef, 23> kBritishTabOrder{{
    {field::kResidualPressure},
    {field::kCFactor},
    {field::kDiameter},
    {field::kElevation},
    {"Command3"},
    {"Command2"},
    {"Command1"},
    {field::kElevationPressure},
    {field::kPumpHead},
    {"Command4"},
    {field::kVelocity},
    {field::kPressureDrop},
    {field::kFrictionLoss},
    {field::kPipeLength},
    {field::kFittingsLength},
    {field::kSwingCheckValves},
    {field::kGateValves},
    {field::kButterflyValves},
    {field::kLongElbows},
    {field::kElbows},
    {field::kTees},
    {field::kFlow},
    {field::kLength},
}};

constexpr auto britishRows()
{
    auto rows = kSiControls;
    for (Control &row : rows) {
        if (row.name == "D")
            row.items = kInches;
        for (const Difference &change : kBritishDifferences) {
            if (row.name == change.name) {
                row.caption = change.caption;
                row.box = change.box;
            }
        }
    }
    return rows;
}

constexpr auto kBritishControls = britishRows();

constexpr WindowLayout kSiLayout{
    .name = "Form2",
    .caption = "Calculations in S.I Units",
    .clientWidth = 8730,
    .clientHeight = 8880,
    .frame = WindowFrame::FixedDialog,
    .controls = kSiControls,
    .tabOrder = kSiTabOrder,
};
constexpr WindowLayout kBritishLayout{
    .name = "Form3",
    .caption = "Calculations in British Units",
    .clientWidth = 8745,
    .clientHeight = 8895,
    .frame = WindowFrame::FixedDialog,
    .controls = kBritishControls,
    .tabOrder = kBritishTabOrder,
};

} // namespace

const WindowLayout &siCalculationLayout()
{
    return kSiLayout;
}

const WindowLayout &britishCalculationLayout()
{
    return kBritishLayout;
}

} // namespace kalvoran::layout
