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
using Procedure = void (*)(calc::CalculationScreen &);

const std::vector<std::string> kResultFields{"ELF", "EL", "FL", "elevationdrop", "PD", "pumppressure", "V"};

// A run with inputs typed over a fresh screen, and the texts every result
// field must show afterwards. The expected digits were computed separately,
// with exact decimal rounding, from the same formulas and read-backs.
struct WorkedRun
{
    const char *name;
    Procedure procedure;
    Texts inputs;
    std::vector<std::string> messages;
    Texts results;
};

void PrintTo(const WorkedRun &run, std::ostream *os)
{
    *os << run.name;
}

class WorkedRuns : public ::testing::TestWithParam<WorkedRun>
{
};

TEST_P(WorkedRuns, ShowAllSevenResultsToFifteenDigits)
{
    const WorkedRun &run = GetParam();
    RecordingScreen screen;
    for (const auto &[name, text] : run.inputs)
        screen.type(name, text);
    run.procedure(screen);
    EXPECT_EQ(screen.messages(), run.messages);
    EXPECT_TRUE(screen.resultsVisible());
    for (const auto &name : kResultFields)
        EXPECT_EQ(screen.text(name), run.results.at(name)) << name;

    // The same texts give the same results again.
    screen.clearLog();
    run.procedure(screen);
    for (const auto &name : kResultFields)
        EXPECT_EQ(screen.text(name), run.results.at(name)) << name << " on the second run";
}

INSTANTIATE_TEST_SUITE_P(Si, WorkedRuns,
    ::testing::Values(
        WorkedRun{"si_c120_50mm", calc::calculateSi,
            {{"C", "120"}, {"D", "50"}, {"L", "10"}, {"Q", "500"}, {"Tf", "1"}, {"Ef", "2"}, {"hight", "5"},
                {"RP", "1"}},
            {},
            {{"ELF", "5.184"}, {"EL", "15.184"}, {"FL", "0.0451212015753386"}, {"elevationdrop", "0.485908649173955"},
                {"PD", "0.685120324719941"}, {"pumppressure", "22.323036938121"}, {"V", "4.24628450106157"}}},
        WorkedRun{"si_c100_50mm", calc::calculateSi,
            {{"C", "100"}, {"D", "50"}, {"L", "10"}, {"Q", "500"}, {"Tf", "1"}, {"Ef", "2"}, {"hight", "5"},
                {"RP", "1"}},
            {},
            {{"ELF", "3.696192"}, {"EL", "13.696192"}, {"FL", "0.0632216697112862"},
                {"elevationdrop", "0.485908649173955"}, {"PD", "0.86589612692636"}, {"pumppressure", "24.181412184803"},
                {"V", "4.24628450106157"}}},
        WorkedRun{"si_zero_flow", calc::calculateSi,
            {{"C", "120"}, {"D", "50"}, {"L", "10"}, {"Q", "0"}, {"Tf", "1"}, {"Ef", "2"}, {"hight", "5"}, {"RP", "1"}},
            {},
            {{"ELF", "5.184"}, {"EL", "15.184"}, {"FL", "0"}, {"elevationdrop", "0.485908649173955"}, {"PD", "0"},
                {"pumppressure", "15.28"}, {"V", "0"}}},
        // 1.5 tees, 2 long elbows, negative elevation, and a flow so large that
        // the results run into many digits.
        WorkedRun{"si_c140_250mm_negative_head", calc::calculateSi,
            {{"C", "140"}, {"D", "250"}, {"L", ""}, {"Q", "1E9"}, {"Tf", "1.5"}, {"Ef", ""}, {"E1f", "2"}, {"BVf", "1"},
                {"GVf", "1"}, {"SCf", "1"}, {"hight", "-3"}, {"RP", "2"}},
            {std::string(msg::kNegativeHead)},
            {{"ELF", "80.15112"}, {"EL", "80.15112"}, {"FL", "6073662.65308933"},
                {"elevationdrop", "-0.291545189504373"}, {"PD", "486810864.147281"},
                {"pumppressure", "5004415700.99405"}, {"V", "339702.760084926"}}},
        // Here the results read back from their fields differ in the last digit
        // from the unrounded values: PD would be ...957 and the head ...432.
        WorkedRun{"si_read_back", calc::calculateSi,
            {{"C", "130"}, {"D", "25"}, {"L", "12.3"}, {"Q", "750"}, {"Tf", "1"}, {"Ef", "1"}, {"E1f", "1"},
                {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "2"}, {"RP", "1.5"}},
            {},
            {{"ELF", "5.26176"}, {"EL", "17.56176"}, {"FL", "2.40910466130363"}, {"elevationdrop", "0.194363459669582"},
                {"PD", "42.3081178766956"}, {"pumppressure", "452.347451772431"}, {"V", "25.4777070063694"}}}),
    kalvoran::testing::kCaseName);

INSTANTIATE_TEST_SUITE_P(British, WorkedRuns,
    ::testing::Values(
        WorkedRun{"br_c120_2in", calc::calculateBritish,
            {{"C", "120"}, {"D", "2"}, {"L", "100"}, {"Q", "50"}, {"Tf", "1"}, {"Ef", "2"}, {"E1f", "1"}, {"BVf", "1"},
                {"GVf", "1"}, {"SCf", "1"}, {"hight", "10"}, {"RP", "20"}},
            {},
            {{"ELF", "39"}, {"EL", "139"}, {"FL", "0.0306007139196786"}, {"elevationdrop", "4.35343921698141"},
                {"PD", "4.25349923483533"}, {"pumppressure", "28.6069384518167"}, {"V", "5.10622109086498"}}},
        WorkedRun{"br_c120_2in_no_long_elbows", calc::calculateBritish,
            {{"C", "120"}, {"D", "2.0"}, {"L", "100"}, {"Q", "50"}, {"Tf", "1"}, {"Ef", "2"}, {"E1f", "0"},
                {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "10"}, {"RP", "20"}},
            {},
            {{"ELF", "34"}, {"EL", "134"}, {"FL", "0.0306007139196786"}, {"elevationdrop", "4.35343921698141"},
                {"PD", "4.10049566523693"}, {"pumppressure", "28.4539348822183"}, {"V", "5.10622109086498"}}},
        WorkedRun{"br_c150_075in_negative_head", calc::calculateBritish,
            {{"C", "150"}, {"D", "0.75"}, {"L", "50"}, {"Q", "10"}, {"Tf", "2"}, {"Ef", "3"}, {"hight", "-5"},
                {"RP", "30"}},
            {std::string(msg::kNegativeHead)},
            {{"ELF", "24.16"}, {"EL", "74.16"}, {"FL", "0.122411227477318"}, {"elevationdrop", "-2.17671960849071"},
                {"PD", "9.0780166297179"}, {"pumppressure", "36.9012970212272"}, {"V", "7.26218110700797"}}},
        WorkedRun{"br_all_zero", calc::calculateBritish,
            {{"C", "130 "}, {"D", "1.50"}, {"L", ""}, {"Q", ""}, {"Tf", ""}, {"Ef", ""}, {"E1f", ""}, {"BVf", ""},
                {"GVf", ""}, {"SCf", ""}, {"hight", "0"}, {"RP", ""}},
            {},
            {{"ELF", "0"}, {"EL", "0"}, {"FL", "0"}, {"elevationdrop", "0"}, {"PD", "0"}, {"pumppressure", "0"},
                {"V", "0"}}},
        WorkedRun{"br_read_back", calc::calculateBritish,
            {{"C", "130"}, {"D", "0.75"}, {"L", "41.7"}, {"Q", "33.3"}, {"Tf", "1"}, {"Ef", "1"}, {"E1f", "1"},
                {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"}, {"hight", "7"}, {"RP", "12.5"}},
            {},
            {{"ELF", "10.44"}, {"EL", "52.14"}, {"FL", "1.47678309516696"}, {"elevationdrop", "3.04740745188699"},
                {"PD", "76.9994705820053"}, {"pumppressure", "92.5468780338923"}, {"V", "24.1830630863365"}}}),
    kalvoran::testing::kCaseName);

// Which messages a run shows, in which order, and whether it shows results.
struct CheckCase
{
    const char *name;
    Procedure procedure;
    Texts inputs;
    std::vector<std::string_view> messages;
    bool results;
};

void PrintTo(const CheckCase &c, std::ostream *os)
{
    *os << c.name;
}

class Checks : public ::testing::TestWithParam<CheckCase>
{
};

TEST_P(Checks, ShowTheirMessagesInOrder)
{
    const CheckCase &c = GetParam();
    RecordingScreen screen;
    screen.type("elevationdrop", "earlier elevation");
    screen.type("pumppressure", "earlier head");
    screen.setResultsVisible(true);
    for (const auto &[name, text] : c.inputs)
        screen.type(name, text);
    screen.clearLog();

    c.procedure(screen);

    EXPECT_EQ(std::vector<std::string>(c.messages.begin(), c.messages.end()), screen.messages());
    EXPECT_EQ(screen.resultsVisible(), c.results);
    if (!c.results) {
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
}

const Texts kGoodSi{{"C", "120"}, {"D", "50"}, {"L", "10"}, {"Q", "500"}, {"hight", "5"}, {"RP", "1"}};

Texts with(Texts base, const Texts &changes)
{
    for (const auto &[name, text] : changes)
        base.insert_or_assign(name, text);
    return base;
}

// A C factor and a diameter from the lists, however typed.
INSTANTIATE_TEST_SUITE_P(Selections, Checks,
    ::testing::Values(
        CheckCase{"fresh_screen", calc::calculateSi, {}, {msg::kSelectCFactor, msg::kSelectDiameter}, false},
        CheckCase{
            "fresh_british_screen", calc::calculateBritish, {}, {msg::kSelectCFactor, msg::kSelectDiameter}, false},
        CheckCase{"none", calc::calculateSi, kGoodSi, {}, true},
        CheckCase{"c_125", calc::calculateSi, with(kGoodSi, {{"C", "125"}}), {msg::kSelectCFactor}, false},
        CheckCase{"c_typed_1", calc::calculateSi, with(kGoodSi, {{"C", "1"}}), {msg::kSelectCFactor}, false},
        CheckCase{"c_120abc", calc::calculateSi, with(kGoodSi, {{"C", "120abc"}}), {}, true},
        CheckCase{"c_1_2E2", calc::calculateSi, with(kGoodSi, {{"C", "1.2E2"}}), {}, true},
        CheckCase{"d_4_inches_on_si", calc::calculateSi, with(kGoodSi, {{"D", "4"}}), {msg::kSelectDiameter}, false},
        CheckCase{"d_100mm", calc::calculateSi, with(kGoodSi, {{"D", "100mm"}}), {}, true},
        CheckCase{"d_british_3_4", calc::calculateBritish, with(kGoodSi, {{"D", "3/4"}}), {}, true},
        CheckCase{
            "d_british_0_5", calc::calculateBritish, with(kGoodSi, {{"D", "0,5"}}), {msg::kSelectDiameter}, false},
        CheckCase{"d_british_point_25", calc::calculateBritish, with(kGoodSi, {{"D", ".25"}}), {msg::kSelectDiameter},
            false}),
    kalvoran::testing::kCaseName);

// A negative head is only a warning; a negative flow refuses the run.
INSTANTIATE_TEST_SUITE_P(HeadAndFlow, Checks,
    ::testing::Values(CheckCase{"head_zero", calc::calculateSi, with(kGoodSi, {{"hight", "0"}}), {}, true},
        CheckCase{"head_negative", calc::calculateSi, with(kGoodSi, {{"hight", "-1"}}), {msg::kNegativeHead}, true},
        CheckCase{"c_d_and_head", calc::calculateSi, {{"hight", "-1"}},
            {msg::kSelectCFactor, msg::kSelectDiameter, msg::kNegativeHead}, false},
        CheckCase{"all_four", calc::calculateBritish, {{"hight", "-1"}, {"Q", "-2"}},
            {msg::kSelectCFactor, msg::kSelectDiameter, msg::kNegativeHead, msg::kNegativeFlow}, false},
        CheckCase{"flow_negative", calc::calculateSi, with(kGoodSi, {{"Q", "-0.001"}}), {msg::kNegativeFlow}, false},
        CheckCase{"flow_minus_zero", calc::calculateSi, with(kGoodSi, {{"Q", "-0"}}), {}, true},
        CheckCase{"flow_zero", calc::calculateBritish, with(kGoodSi, {{"D", "2"}, {"Q", "0"}}), {}, true},
        CheckCase{"head_and_flow", calc::calculateSi, with(kGoodSi, {{"hight", "-1"}, {"Q", "-1"}}),
            {msg::kNegativeHead, msg::kNegativeFlow}, false}),
    kalvoran::testing::kCaseName);

// Inputs beyond a double, checked only when nothing else refused the run.
INSTANTIATE_TEST_SUITE_P(OutOfRangeInputs, Checks,
    ::testing::Values(
        CheckCase{"length_1E999", calc::calculateSi, with(kGoodSi, {{"L", "1E999"}}), {msg::kOutOfRange}, false},
        CheckCase{"flow_400_digits", calc::calculateSi, with(kGoodSi, {{"Q", "1" + std::string(399, '0')}}),
            {msg::kOutOfRange}, false},
        CheckCase{"count_huge", calc::calculateBritish, with(kGoodSi, {{"D", "2"}, {"SCf", "-1e400"}}),
            {msg::kOutOfRange}, false},
        CheckCase{"head_minus_1E999", calc::calculateSi, with(kGoodSi, {{"hight", "-1E999"}}),
            {msg::kNegativeHead, msg::kOutOfRange}, false},
        CheckCase{"residual_1E999", calc::calculateSi, with(kGoodSi, {{"RP", "1E999"}}), {msg::kOutOfRange}, false},
        CheckCase{
            "flow_negative_huge", calc::calculateSi, with(kGoodSi, {{"Q", "-1E999"}}), {msg::kNegativeFlow}, false},
        CheckCase{"c_out_of_range", calc::calculateSi, with(kGoodSi, {{"C", "1E999"}, {"L", "1E999"}}),
            {msg::kSelectCFactor}, false}),
    kalvoran::testing::kCaseName);

// Results beyond a double, at each step of the run.
INSTANTIATE_TEST_SUITE_P(OutOfRangeResults, Checks,
    ::testing::Values(
        CheckCase{"fittings_overflow", calc::calculateSi, with(kGoodSi, {{"Tf", "1e308"}}), {msg::kOutOfRange}, false},
        CheckCase{"pipe_length_text_overflows", calc::calculateSi,
            with(kGoodSi, {{"L", "1.7976931348623157e308"}, {"Tf", "0"}}), {msg::kOutOfRange}, false},
        CheckCase{"friction_overflow", calc::calculateBritish, with(kGoodSi, {{"D", "2"}, {"Q", "1e200"}}),
            {msg::kOutOfRange}, false},
        CheckCase{"drop_overflow_after_elevation", calc::calculateSi, with(kGoodSi, {{"L", "1e307"}, {"Q", "100000"}}),
            {msg::kOutOfRange}, false},
        CheckCase{"head_overflow", calc::calculateSi, with(kGoodSi, {{"D", "15"}, {"L", "1.2e304"}, {"Q", "10000"}}),
            {msg::kOutOfRange}, false}),
    kalvoran::testing::kCaseName);

TEST(Calculation, ResultsAreWrittenWhileTheFrameIsHiddenAndShownTogether)
{
    RecordingScreen screen;
    for (const auto &[name, text] : kGoodSi)
        screen.type(name, text);
    calc::calculateSi(screen);
    const std::vector<std::string> expected{"hide", "set ELF", "set EL", "set FL", "set PD", "set V", "set ELF",
        "set EL", "set FL", "set elevationdrop", "set PD", "set pumppressure", "set V", "show"};
    EXPECT_EQ(screen.events(), expected);
}

TEST(Calculation, RefusedRunAfterResultsEmptiesThemAndHidesTheFrame)
{
    RecordingScreen screen;
    for (const auto &[name, text] : kGoodSi)
        screen.type(name, text);
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

TEST(Calculation, BritishVelocityIsInFeetPerSecond)
{
    // 50 US gpm through a 2-inch bore: 0.1114 ft^3/s over 0.02182 ft^2.
    RecordingScreen screen;
    for (const auto &[name, text] : Texts{{"C", "120"}, {"D", "2"}, {"Q", "50"}})
        screen.type(name, text);
    calc::calculateBritish(screen);
    EXPECT_EQ(screen.text("V"), "5.10622109086498");
}

} // namespace
