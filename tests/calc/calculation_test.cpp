#include "calc/calculation.h"
#include "support/named_case.h"
#include "support/recording_screen.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using kalvoran::testing::RecordingScreen;
namespace calc = kalvoran::calc;
namespace msg = kalvoran::calc::message;

namespace {

using Texts = std::map<std::string, std::string>;

const std::vector<std::string> kResultFields{"ELF", "EL", "FL", "elevationdrop", "PD", "pumppressure", "V"};

RecordingScreen screenWith(const Texts &inputs)
{
    RecordingScreen screen;
    for (const auto &[name, text] : inputs)
        screen.type(name, text);
    return screen;
}

Texts with(Texts base, const Texts &changes)
{
    for (const auto &[name, text] : changes)
        base.insert_or_assign(name, text);
    return base;
}

const Texts kGoodSi{{"C", "120"}, {"D", "50"}, {"L", "10"}, {"Q", "500"}, {"hight", "5"}, {"RP", "1"}};
// The good SI inputs with some changed.
Texts goodSi(const Texts &changes)
{
    return with(kGoodSi, changes);
}

constexpr auto si = calc::calculateSi;
constexpr auto british = calc::calculateBritish;
const Texts kSiWithFittings = goodSi({{"Tf", "1"}, {"Ef", "2"}});
const Texts kBritish2In{{"C", "120"}, {"D", "2"}, {"L", "100"}, {"Q", "50"}, {"Tf", "1"}, {"Ef", "2"}, {"E1f", "1"},
    {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "10"}, {"RP", "20"}};

// A run with inputs typed over a screen that shows earlier results: the
// messages it shows, in order, whether it shows its results and, for the
// worked runs, the texts of the results in the order of kResultFields. Their
// digits were computed separately, with exact decimal rounding, from the same
// formulas and read-backs.
struct RunCase : kalvoran::testing::NamedCase
{
    void (*procedure)(calc::CalculationScreen &);
    Texts inputs;
    std::vector<std::string_view> messages;
    bool results;
    std::vector<std::string> shown = {};
};

class Runs : public ::testing::TestWithParam<RunCase>
{
};

TEST_P(Runs, ShowTheirMessagesInOrderAndTheirResults)
{
    const RunCase &run = GetParam();
    RecordingScreen screen = screenWith(run.inputs);
    screen.type("elevationdrop", "earlier elevation");
    screen.type("pumppressure", "earlier head");
    screen.setResultsVisible(true);
    screen.clearLog();

    run.procedure(screen);

    EXPECT_EQ(std::vector<std::string>(run.messages.begin(), run.messages.end()), screen.messages());
    EXPECT_EQ(screen.resultsVisible(), run.results);
    if (!run.results) {
        // A refused run leaves five results empty and the other two as they were.
        for (const char *name : {"ELF", "EL", "FL", "PD", "V"})
            EXPECT_EQ(screen.text(name), "") << name;
        EXPECT_EQ(screen.text("elevationdrop"), "earlier elevation");
        EXPECT_EQ(screen.text("pumppressure"), "earlier head");
    }
    // The frame is hidden and the results emptied before any message.
    ASSERT_GE(screen.events().size(), 6u);
    EXPECT_EQ(screen.events()[0], "hide");
    for (std::size_t i = 1; i <= 5; ++i)
        EXPECT_EQ(screen.events()[i].rfind("set ", 0), 0u) << screen.events()[i];

    // The same texts give the same results again.
    for (const char *pass : {"first", "second"}) {
        for (std::size_t i = 0; i < run.shown.size(); ++i)
            EXPECT_EQ(screen.text(kResultFields[i]), run.shown[i]) << kResultFields[i] << " on the " << pass << " run";
        run.procedure(screen);
    }
}

INSTANTIATE_TEST_SUITE_P(Si, Runs,
    ::testing::Values(RunCase{{"si_c120_50mm"}, si, kSiWithFittings, {}, true,
                          {"5.184", "15.184", "0.0451212015753386", "0.485908649173955", "0.685120324719941",
                              "22.323036938121", "4.24628450106157"}},
        RunCase{{"si_c100_50mm"}, si, with(kSiWithFittings, {{"C", "100"}}), {}, true,
            {"3.696192", "13.696192", "0.0632216697112862", "0.485908649173955", "0.86589612692636", "24.181412184803",
                "4.24628450106157"}},
        RunCase{{"si_zero_flow"}, si, with(kSiWithFittings, {{"Q", "0"}}), {}, true,
            {"5.184", "15.184", "0", "0.485908649173955", "0", "15.28", "0"}},
        // 1.5 tees, 2 long elbows, negative elevation, and a flow so large that
        // the results run into many digits.
        RunCase{{"si_c140_250mm_negative_head"}, si,
            {{"C", "140"}, {"D", "250"}, {"L", ""}, {"Q", "1E9"}, {"Tf", "1.5"}, {"Ef", ""}, {"E1f", "2"}, {"BVf", "1"},
                {"GVf", "1"}, {"SCf", "1"}, {"hight", "-3"}, {"RP", "2"}},
            {msg::kNegativeHead}, true,
            {"80.15112", "80.15112", "6073662.65308933", "-0.291545189504373", "486810864.147281", "5004415700.99405",
                "339702.760084926"}},
        // Here the results read back from their fields differ in the last digit
        // from the unrounded values: PD would be ...957 and the head ...432.
        RunCase{{"si_read_back"}, si,
            {{"C", "130"}, {"D", "25"}, {"L", "12.3"}, {"Q", "750"}, {"Tf", "1"}, {"Ef", "1"}, {"E1f", "1"},
                {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "2"}, {"RP", "1.5"}},
            {}, true,
            {"5.26176", "17.56176", "2.40910466130363", "0.194363459669582", "42.3081178766956", "452.347451772431",
                "25.4777070063694"}}),
    kalvoran::testing::kCaseName);

INSTANTIATE_TEST_SUITE_P(British, Runs,
    ::testing::Values(RunCase{{"br_c120_2in"}, british, kBritish2In, {}, true,
                          {"39", "139", "0.0306007139196786", "4.35343921698141", "4.25349923483533",
                              "28.6069384518167", "5.10622109086498"}},
        RunCase{{"br_c120_2in_no_long_elbows"}, british, with(kBritish2In, {{"D", "2.0"}, {"E1f", "0"}}), {}, true,
            {"34", "134", "0.0306007139196786", "4.35343921698141", "4.10049566523693", "28.4539348822183",
                "5.10622109086498"}},
        RunCase{{"br_c150_075in_negative_head"}, british,
            {{"C", "150"}, {"D", "0.75"}, {"L", "50"}, {"Q", "10"}, {"Tf", "2"}, {"Ef", "3"}, {"hight", "-5"},
                {"RP", "30"}},
            {msg::kNegativeHead}, true,
            {"24.16", "74.16", "0.122411227477318", "-2.17671960849071", "9.0780166297179", "36.9012970212272",
                "7.26218110700797"}},
        RunCase{{"br_all_zero"}, british,
            {{"C", "130 "}, {"D", "1.50"}, {"L", ""}, {"Q", ""}, {"Tf", ""}, {"Ef", ""}, {"E1f", ""}, {"BVf", ""},
                {"GVf", ""}, {"SCf", ""}, {"hight", "0"}, {"RP", ""}},
            {}, true, {"0", "0", "0", "0", "0", "0", "0"}},
        RunCase{{"br_read_back"}, british,
            {{"C", "130"}, {"D", "0.75"}, {"L", "41.7"}, {"Q", "33.3"}, {"Tf", "1"}, {"Ef", "1"}, {"E1f", "1"},
                {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "7"}, {"RP", "12.5"}},
            {}, true,
            {"10.44", "52.14", "1.47678309516696", "3.04740745188699", "76.9994705820053", "92.5468780338923",
                "24.1830630863365"}},
        // V in feet per second: 50 US gpm through a 2-inch bore is 0.1114 ft^3/s
        // over 0.02182 ft^2. The rest is the pipe's foot of friction loss alone.
        RunCase{{"br_velocity_in_feet_per_second"}, british, {{"C", "120"}, {"D", "2"}, {"Q", "50"}}, {}, true,
            {"0", "1", "0.0306007139196786", "0", "0.0306007139196786", "0.0306007139196786", "5.10622109086498"}}),
    kalvoran::testing::kCaseName);

// A C factor and a diameter from the lists, however typed.
INSTANTIATE_TEST_SUITE_P(Selections, Runs,
    ::testing::Values(RunCase{{"fresh_screen"}, si, {}, {msg::kSelectCFactor, msg::kSelectDiameter}, false},
        RunCase{{"fresh_british_screen"}, british, {}, {msg::kSelectCFactor, msg::kSelectDiameter}, false},
        RunCase{{"none"}, si, kGoodSi, {}, true},
        RunCase{{"c_125"}, si, goodSi({{"C", "125"}}), {msg::kSelectCFactor}, false},
        RunCase{{"c_typed_1"}, si, goodSi({{"C", "1"}}), {msg::kSelectCFactor}, false},
        RunCase{{"c_120abc"}, si, goodSi({{"C", "120abc"}}), {}, true},
        RunCase{{"c_1_2E2"}, si, goodSi({{"C", "1.2E2"}}), {}, true},
        RunCase{{"d_4_inches_on_si"}, si, goodSi({{"D", "4"}}), {msg::kSelectDiameter}, false},
        RunCase{{"d_100mm"}, si, goodSi({{"D", "100mm"}}), {}, true},
        RunCase{{"d_british_3_4"}, british, goodSi({{"D", "3/4"}}), {}, true},
        RunCase{{"d_british_0_5"}, british, goodSi({{"D", "0,5"}}), {msg::kSelectDiameter}, false},
        RunCase{{"d_british_point_25"}, british, goodSi({{"D", ".25"}}), {msg::kSelectDiameter}, false}),
    kalvoran::testing::kCaseName);

// A negative head is only a warning; a negative flow refuses the run.
INSTANTIATE_TEST_SUITE_P(HeadAndFlow, Runs,
    ::testing::Values(RunCase{{"head_zero"}, si, goodSi({{"hight", "0"}}), {}, true},
        RunCase{{"head_negative"}, si, goodSi({{"hight", "-1"}}), {msg::kNegativeHead}, true},
        RunCase{{"c_d_and_head"}, si, {{"hight", "-1"}},
            {msg::kSelectCFactor, msg::kSelectDiameter, msg::kNegativeHead}, false},
        RunCase{{"all_four"}, british, {{"hight", "-1"}, {"Q", "-2"}},
            {msg::kSelectCFactor, msg::kSelectDiameter, msg::kNegativeHead, msg::kNegativeFlow}, false},
        RunCase{{"flow_negative"}, si, goodSi({{"Q", "-0.001"}}), {msg::kNegativeFlow}, false},
        RunCase{{"flow_minus_zero"}, si, goodSi({{"Q", "-0"}}), {}, true},
        RunCase{{"flow_zero"}, british, goodSi({{"D", "2"}, {"Q", "0"}}), {}, true},
        RunCase{{"head_and_flow"}, si, goodSi({{"hight", "-1"}, {"Q", "-1"}}), {msg::kNegativeHead, msg::kNegativeFlow},
            false}),
    kalvoran::testing::kCaseName);

// Inputs beyond a double, checked only when nothing else refused the run.
INSTANTIATE_TEST_SUITE_P(OutOfRangeInputs, Runs,
    ::testing::Values(RunCase{{"length_1E999"}, si, goodSi({{"L", "1E999"}}), {msg::kOutOfRange}, false},
        RunCase{{"flow_400_digits"}, si, goodSi({{"Q", "1" + std::string(399, '0')}}), {msg::kOutOfRange}, false},
        RunCase{{"count_huge"}, british, goodSi({{"D", "2"}, {"SCf", "-1e400"}}), {msg::kOutOfRange}, false},
        RunCase{{"head_minus_1E999"}, si, goodSi({{"hight", "-1E999"}}), {msg::kNegativeHead, msg::kOutOfRange}, false},
        RunCase{{"residual_1E999"}, si, goodSi({{"RP", "1E999"}}), {msg::kOutOfRange}, false},
        RunCase{{"flow_negative_huge"}, si, goodSi({{"Q", "-1E999"}}), {msg::kNegativeFlow}, false},
        RunCase{{"c_out_of_range"}, si, goodSi({{"C", "1E999"}, {"L", "1E999"}}), {msg::kSelectCFactor}, false}),
    kalvoran::testing::kCaseName);

// Results beyond a double, at each step of the run.
INSTANTIATE_TEST_SUITE_P(OutOfRangeResults, Runs,
    ::testing::Values(RunCase{{"fittings_overflow"}, si, goodSi({{"Tf", "1e308"}}), {msg::kOutOfRange}, false},
        RunCase{{"pipe_length_text_overflows"}, si, goodSi({{"L", "1.7976931348623157e308"}, {"Tf", "0"}}),
            {msg::kOutOfRange}, false},
        RunCase{{"friction_overflow"}, british, goodSi({{"D", "2"}, {"Q", "1e200"}}), {msg::kOutOfRange}, false},
        RunCase{{"drop_overflow_after_elevation"}, si, goodSi({{"L", "1e307"}, {"Q", "100000"}}), {msg::kOutOfRange},
            false},
        RunCase{
            {"head_overflow"}, si, goodSi({{"D", "15"}, {"L", "1.2e304"}, {"Q", "10000"}}), {msg::kOutOfRange}, false}),
    kalvoran::testing::kCaseName);

TEST(Calculation, ResultsAreWrittenWhileTheFrameIsHiddenAndShownTogether)
{
    RecordingScreen screen = screenWith(kGoodSi);
    calc::calculateSi(screen);
    const std::vector<std::string> expected{"hide", "set ELF", "set EL", "set FL", "set PD", "set V", "set ELF",
        "set EL", "set FL", "set elevationdrop", "set PD", "set pumppressure", "set V", "show"};
    EXPECT_EQ(screen.events(), expected);
}

TEST(Calculation, RefusedRunAfterResultsEmptiesThemAndHidesTheFrame)
{
    RecordingScreen screen = screenWith(kGoodSi);
    calc::calculateSi(screen);
    ASSERT_TRUE(screen.resultsVisible());
    const std::string elevation = screen.text("elevationdrop");
    const std::string head = screen.text("pumppressure");

    screen.type("D", "Select Dia");
    calc::calculateSi(screen);
    EXPECT_FALSE(screen.resultsVisible());
    for (const char *name : {"ELF", "EL", "FL", "PD", "V"})
        EXPECT_EQ(screen.text(name), "") << name;
    EXPECT_EQ(screen.text("elevationdrop"), elevation);
    EXPECT_EQ(screen.text("pumppressure"), head);
}

} // namespace
