#include "layout/calculation_layouts.h"

#include "calc/calculation.h"

#include <array>

namespace kalvoran::ui {

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
    // name                       idx kind               caption or initial text                                    Left  Top   Width Height  style        names            parent
    {"Label14",                   -1, Kind::Label,       "Details",                                                 {240,  240,  1455, 375},  kBoldRed},
    {"Label1",                    -1, Kind::Label,       "The Dia. of the pipe  ( mm )",                            {240,  720,  2175, 375},  kRegular,    field::kDiameter},
    {field::kDiameter,            -1, Kind::ComboBox,    "Select Dia",                                              {2520, 600,  1215, 315},  kToolkit,    {}, {}, {}, kMillimetres},
    {"Label2",                    -1, Kind::Label,       "The length of the pipe (  m  )",                          {240,  1080, 2055, 495},  kRegular,    field::kLength},
    {field::kLength,              -1, Kind::TextBox,     "1.00",                                                    {2520, 1080, 1215, 375},  kToolkit},
    {"Label4",                    -1, Kind::Label,       "Friction loss factor",                                    {240,  1680, 1935, 375},  kRegular,    field::kCFactor},
    {field::kCFactor,             -1, Kind::ComboBox,    "Select C",                                                {2520, 1680, 1215, 315},  kToolkit,    {}, {}, {}, kCFactors, {}, kCFactorHint},
    {"Label7",                    -1, Kind::Label,       kCFactorHint,                                              {360,  2280, 3375, 375},  kItalicRed},
    {"Label3",                    -1, Kind::Label,       "Flow of water in the pipe (  L/min  )",                   {4440, 480,  1695, 735},  kCentred,    field::kFlow},
    {field::kFlow,                -1, Kind::TextBox,     "1.00",                                                    {6240, 480,  1215, 375},  kToolkit},
    {"Label20",                   -1, Kind::Label,       "Elevation between the pump and the goal point ( m )",     {4440, 1080, 1695, 735},  kCentred,    field::kElevation},
    {field::kElevation,           -1, Kind::TextBox,     "",                                                        {6240, 1200, 1215, 375},  kToolkit},
    {"Label23",                   -1, Kind::Label,       "Residual Pressure requiered at the goal point (bar)",     {4440, 1800, 1575, 615},  kCentred,    field::kResidualPressure},
    {field::kResidualPressure,    -1, Kind::TextBox,     "0.0",                                                     {6240, 1920, 1215, 375},  kToolkit},
    {"Line1",                     -1, Kind::Line,        {},                                                        {},                       kRedLine,    {}, {}, {120, 2640, 8640, 2640}},
    {"Label8",                     0, Kind::Label,       "Fittings",                                                {120,  2760, 1095, 375},  kBoldRed},
    {"Label5",                    -1, Kind::Label,       "No. of Tees",                                             {120,  3240, 975,  375},  kRegular,    field::kTees},
    {field::kTees,                -1, Kind::TextBox,     "0.0",                                                     {1800, 3120, 975,  375},  kToolkit},
    {"Label6",                    -1, Kind::Label,       "No. of Elbows 90",                                        {120,  3720, 1335, 375},  kRegular,    field::kElbows},
    {field::kElbows,              -1, Kind::TextBox,     "0.0",                                                     {1800, 3600, 975,  375},  kToolkit},
    {"Label9",                    -1, Kind::Label,       "No. of Long Elbows 90",                                   {120,  4200, 1815, 375},  kRegular,    field::kLongElbows},
    {field::kLongElbows,          -1, Kind::TextBox,     "0.0",                                                     {1800, 4080, 975,  375},  kToolkit},
    {"Label8",                     1, Kind::Label,       "Valves",                                                  {4080, 2760, 1095, 375},  kBoldRed},
    {"Label10",                   -1, Kind::Label,       "No. of Butterfly Valves",                                 {3840, 3120, 1695, 495},  kRegular,    field::kButterflyValves},
    {field::kButterflyValves,     -1, Kind::TextBox,     "0.0",                                                     {5640, 3120, 975,  375},  kToolkit},
    {"Label11",                   -1, Kind::Label,       "No. of Gate Valves",                                      {3840, 3600, 1455, 375},  kRegular,    field::kGateValves},
    {field::kGateValves,          -1, Kind::TextBox,     "0.0",                                                     {5640, 3600, 975,  375},  kToolkit},
    {"Label12",                   -1, Kind::Label,       "No. of Swing Check",                                      {3840, 4080, 1455, 375},  kRegular,    field::kSwingCheckValves},
    {field::kSwingCheckValves,    -1, Kind::TextBox,     "0.0",                                                     {5640, 4080, 975,  375},  kToolkit},
    {"Command1",                  -1, Kind::PushButton,  "Calculate Now",                                           {6720, 4680, 1935, 375},  kBold},
    {"Line3",                     -1, Kind::Line,        {},                                                        {},                       kRedLine,    {}, {}, {120, 5160, 8640, 5160}},
    {"Frame1",                    -1, Kind::Frame,       "Results",                                                 {0,    5280, 8655, 3015}, kBoldRed},
    {"Command2",                  -1, Kind::PushButton,  "Exit",                                                    {1680, 8400, 1815, 375},  kBold},
    {"Command3",                  -1, Kind::PushButton,  "Back",                                                    {4680, 8400, 1815, 375},  kBold},
    // Inside Frame1, in frame coordinates.
    {"Label19",                   -1, Kind::Label,       "Calculated Equivalent Length of fittings ( m )",          {120,  360,  1935, 495},  kCentred,    field::kFittingsLength,     "Frame1"},
    {field::kFittingsLength,      -1, Kind::TextBox,     "0.0",                                                     {2160, 360,  1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Label15",                   -1, Kind::Label,       "Calculated Equivalent Length of the pipe ( m )",          {4560, 360,  1815, 495},  kCentred,    field::kPipeLength,         "Frame1"},
    {field::kPipeLength,          -1, Kind::TextBox,     "0.0",                                                     {6480, 360,  1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Label16",                   -1, Kind::Label,       "Pressure Friction losses in the pipe ( bars/meter )",     {240,  1080, 1815, 615},  kCentred,    field::kFrictionLoss,       "Frame1"},
    {field::kFrictionLoss,        -1, Kind::TextBox,     "0.0",                                                     {2160, 1080, 1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Label17",                   -1, Kind::Label,       "Pressure Drop in the pipe ( bars )",                      {4920, 960,  1335, 495},  kCentred,    field::kPressureDrop,       "Frame1"},
    {field::kPressureDrop,        -1, Kind::TextBox,     "0.0",                                                     {6480, 960,  1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Label18",                   -1, Kind::Label,       "Velocity of flow in the pipe ( m/sec. )",                 {480,  1800, 1335, 495},  kCentred,    field::kVelocity,           "Frame1"},
    {field::kVelocity,            -1, Kind::TextBox,     "0.0",                                                     {2160, 1800, 1575, 495},  kToolkit,    {},                         "Frame1"},
    // elevationdrop holds a pressure in bar, so its label says bar.
    {"Label22",                   -1, Kind::Label,       "Elevation Drop / Gain ( bar )",                           {4440, 1680, 1935, 495},  kCentred,    field::kElevationPressure,  "Frame1"},
    {field::kElevationPressure,   -1, Kind::TextBox,     "0.0",                                                     {6480, 1560, 1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Label21",                   -1, Kind::Label,       "Requiered Pump Head ( m )",                               {4920, 2160, 1215, 495},  kCentredRed, field::kPumpHead,           "Frame1"},
    {field::kPumpHead,            -1, Kind::TextBox,     "",                                                        {6480, 2160, 1575, 495},  kToolkit,    {},                         "Frame1"},
    {"Command4",                  -1, Kind::PushButton,  "Clear",                                                   {240,  2520, 1095, 375},  kToolkit,    {},                         "Frame1"},
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
    {"Label1",  "The Dia. of the pipe  ( inch )",                        {240,  720,  2175, 375}},
    {"Label2",  "The length of the pipe (  ft  )",                       {240,  1080, 2055, 495}},
    {"Label3",  "Flow of water in the pipe (  gpm  )",                   {4440, 480,  1695, 495}},
    {"Label7",  kCFactorHint,                                            {360,  2160, 3375, 375}},
    {"Label20", "Elevation between the pump and the goal point ( ft )",  {4440, 1080, 1695, 735}},
    {"Label23", "Residual Pressure requiered at the goal point (psi)",   {4440, 1800, 1575, 615}},
    {"Label19", "Calculated Equivalent Length of fittings ( ft )",       {360,  360,  1695, 495}},
    {"Label15", "Calculated Equivalent Length of the pipe ( ft )",       {4560, 360,  1815, 495}},
    {"Label16", "Pressure Friction losses in the pipe ( psi / ft )",     {480,  1080, 1215, 615}},
    {"Label17", "Pressure Drop in the pipe ( psi )",                     {4800, 960,  1335, 495}},
    {"Label18", "Velocity of flow in the pipe ( ft/sec. )",              {480,  1800, 1335, 495}},
    {"Label22", "Elevation Drop / Gain ( psi )",                         {4800, 1560, 1575, 495}},
    {"Label21", "Requiered Pump Head ( psi )",                           {4920, 2160, 1215, 495}},
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
    "Form2",
    "Calculations in S.I Units",
    8730,
    8880,
    Frame::FixedDialog,
    kSiControls,
    kSiTabOrder,
};
constexpr WindowLayout kBritishLayout{
    "Form3",
    "Calculations in British Units",
    8745,
    8895,
    Frame::FixedDialog,
    kBritishControls,
    kBritishTabOrder,
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

} // namespace kalvoran::ui
