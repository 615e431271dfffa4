#include "calc/number_text.h"
#include "calc/reference_rounding.h"
#include "support/named_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

using kalvoran::calc::formatNumber;
using kalvoran::calc::readLeadingNumber;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReadCase : kalvoran::testing::NamedCase
{
    std::string text;
    double expected;
};

class ReadLeadingNumber : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadLeadingNumber, ReadsTheNumberAtTheStart)
{
    const ReadCase &row = GetParam();
    const double got = readLeadingNumber(row.text);
    EXPECT_EQ(got, row.expected) << '"' << row.text.substr(0, 80) << '"';
    EXPECT_TRUE(std::signbit(got) || !std::signbit(row.expected)) << "-0 keeps its sign";
}

// Blanks are dropped wherever they stand; other control characters end the number.
INSTANTIATE_TEST_SUITE_P(Blanks, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"in_thousands"}, "1 000", 1000}, ReadCase{{"around"}, "  120  ", 120},
        ReadCase{{"after_sign"}, "- 5", -5}, ReadCase{{"tab_and_line_feed"}, "\t1\n2", 12},
        ReadCase{{"carriage_return_ends"}, "1\r2", 1}, ReadCase{{"everywhere"}, "1 . 5 E 2", 150}),
    kalvoran::testing::kCaseName);

INSTANTIATE_TEST_SUITE_P(SignAndFullStop, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"stop_first"}, ".5", 0.5}, ReadCase{{"plus_stop"}, "+.5", 0.5},
        ReadCase{{"minus"}, "-2.5", -2.5}, ReadCase{{"plus"}, "+7", 7}, ReadCase{{"leading_zeros"}, "007", 7},
        ReadCase{{"stop_last"}, "1.", 1}, ReadCase{{"second_stop_ends"}, "1.2.3", 1.2},
        ReadCase{{"two_minus"}, "--1", 0}, ReadCase{{"plus_minus"}, "+-1", 0}, ReadCase{{"minus_zero"}, "-0", -0.0}),
    kalvoran::testing::kCaseName);

// E or D, either case; a letter without digits adds nothing.
INSTANTIATE_TEST_SUITE_P(Exponents, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"upper_e"}, "1.5E3", 1500}, ReadCase{{"lower_e"}, "1.5e3", 1500},
        ReadCase{{"upper_d"}, "1.5D3", 1500}, ReadCase{{"lower_d"}, "1.5d3", 1500},
        ReadCase{{"c_factor"}, "1.2E2", 120}, ReadCase{{"negative"}, "25E-1", 2.5}, ReadCase{{"letter_only"}, "1E", 1},
        ReadCase{{"letter_and_sign"}, "1E+", 1}, ReadCase{{"letter_sign_letter"}, "1e-x", 1},
        ReadCase{{"two_letters"}, "1EE2", 1}, ReadCase{{"leading_zeros"}, "1e0000000000000000000000002", 100}),
    kalvoran::testing::kCaseName);

// Reading stops at the first character that cannot continue the number.
INSTANTIATE_TEST_SUITE_P(StopsAtAForeignCharacter, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"letters"}, "120abc", 120}, ReadCase{{"unit"}, "100mm", 100},
        ReadCase{{"decimal_comma"}, "1,5", 1}, ReadCase{{"zero_decimal_comma"}, "0,5", 0},
        ReadCase{{"fraction_slash"}, "3/4", 3}, ReadCase{{"underscore"}, "1_000", 1},
        ReadCase{{"no_break_space"},
            "12\xC2\xA0"
            "3",
            12}),
    kalvoran::testing::kCaseName);

INSTANTIATE_TEST_SUITE_P(NoNumberReadsZero, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"empty"}, "", 0}, ReadCase{{"select_c"}, "Select C", 0},
        ReadCase{{"select_dia"}, "Select Dia", 0}, ReadCase{{"stop_only"}, ".", 0}, ReadCase{{"minus_only"}, "-", 0},
        ReadCase{{"exponent_only"}, "e5", 0}, ReadCase{{"stop_and_exponent"}, ".e5", 0},
        ReadCase{{"letters_first"}, "abc120", 0}, ReadCase{{"inf"}, "inf", 0}, ReadCase{{"nan"}, "nan", 0},
        ReadCase{{"hexadecimal"}, "0x10", 0}, ReadCase{{"full_width_12"}, "\xEF\xBC\x91\xEF\xBC\x92", 0}),
    kalvoran::testing::kCaseName);

// Correct rounding, also of long and tied texts.
INSTANTIATE_TEST_SUITE_P(CorrectRounding, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"exact_tenth"}, "0.1000000000000000055511151231257827021181583404541015625", 0.1},
        ReadCase{{"tie_to_even"}, "9007199254740993", 9007199254740992.0},
        ReadCase{{"above_largest"}, "1.79769313486232E+308", kInf},
        ReadCase{{"largest"}, "1.7976931348623157e308", std::numeric_limits<double>::max()},
        ReadCase{{"smallest_short"}, "4.9e-324", std::numeric_limits<double>::denorm_min()},
        ReadCase{{"smallest_as_written"}, "4.94065645841247E-324", std::numeric_limits<double>::denorm_min()}),
    kalvoran::testing::kCaseName);

// Beyond the range of a double: infinity, the caller's cue; too small: zero.
INSTANTIATE_TEST_SUITE_P(OutOfRange, ReadLeadingNumber,
    ::testing::Values(ReadCase{{"huge"}, "1E999", kInf}, ReadCase{{"minus_huge"}, "-1E999", -kInf},
        ReadCase{{"huge_exponent"}, "1e99999999999999999999999", kInf}, ReadCase{{"tiny"}, "1E-999", 0},
        ReadCase{{"below_smallest"}, "2e-324", 0}, ReadCase{{"zero_huge_exponent"}, "0e999999", 0},
        ReadCase{{"minus_tiny"}, "-1e-999", -0.0},
        ReadCase{{"tiny_exponent_past_64_bits"}, "1e-99999999999999999999999", 0},
        ReadCase{{"places_below_smallest"}, "0." + std::string(400, '0') + "1", 0},
        ReadCase{{"places_but_huge"}, "0." + std::string(400, '0') + "1e800", kInf},
        ReadCase{{"digits_but_tiny"}, "1" + std::string(400, '0') + "e-800", 0}),
    kalvoran::testing::kCaseName);

constexpr std::size_t kMillion = 1'000'000;

INSTANTIATE_TEST_SUITE_P(LongTexts, ReadLeadingNumber,
    ::testing::Values(
        // A 400-digit number is out of range; a million digits too.
        ReadCase{{"digits_400"}, "1" + std::string(399, '0'), kInf},
        ReadCase{{"minus_million_nines"}, "-" + std::string(kMillion, '9'), -kInf},
        // Leading zeros and blanks, however many, change nothing.
        ReadCase{{"million_leading_zeros"}, std::string(kMillion, '0') + "42", 42},
        ReadCase{{"million_leading_blanks"}, std::string(kMillion, ' ') + "4\t2", 42},
        ReadCase{{"million_trailing_letters"}, "7" + std::string(kMillion, 'x'), 7},
        // The exponent makes up for a million places after the full stop.
        ReadCase{{"million_places_and_exponent"}, "0." + std::string(kMillion - 1, '0') + "1e1000000", 1},
        ReadCase{{"million_digits_and_exponent"}, "1" + std::string(kMillion, '0') + "e-1000000", 1},
        // A digit far beyond those that fit still decides a tie: 2^53 + 1 + tiny.
        ReadCase{{"far_digit_decides_tie"}, "9007199254740993." + std::string(5000, '0') + "1", 9007199254740994.0},
        ReadCase{{"far_zeros_keep_tie"}, "9007199254740993." + std::string(5000, '0'), 9007199254740992.0}),
    kalvoran::testing::kCaseName);

struct FormatCase : kalvoran::testing::NamedCase
{
    double value;
    std::string expected;
};

class FormatNumber : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatNumber, WritesFifteenSignificantDigits)
{
    EXPECT_EQ(formatNumber(GetParam().value).view(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ordinary, FormatNumber,
    ::testing::Values(FormatCase{{"zero"}, 0.0, "0"}, FormatCase{{"minus_zero"}, -0.0, "0"},
        FormatCase{{"one"}, 1, "1"}, FormatCase{{"two"}, 2.0, "2"}, FormatCase{{"minus_three"}, -3, "-3"},
        FormatCase{{"half"}, 0.5, "0.5"}, FormatCase{{"minus_half"}, -0.5, "-0.5"},
        FormatCase{{"twelve_and_a_half"}, 12.5, "12.5"}, FormatCase{{"third"}, 1.0 / 3, "0.333333333333333"},
        FormatCase{{"two_thirds"}, 2.0 / 3, "0.666666666666667"}, FormatCase{{"tenth_plus_fifth"}, 0.1 + 0.2, "0.3"},
        FormatCase{{"fittings_length"}, 5.184, "5.184"}),
    kalvoran::testing::kCaseName);

// Plain notation from 1E-4 up to 15 integer digits.
INSTANTIATE_TEST_SUITE_P(PlainNotation, FormatNumber,
    ::testing::Values(FormatCase{{"ten_to_minus_4"}, 0.0001, "0.0001"},
        FormatCase{{"rounded_below_ten_to_minus_3"}, 0.000123456789012345678, "0.000123456789012346"},
        FormatCase{{"fifteen_integer_digits"}, 123456789012345, "123456789012345"},
        FormatCase{{"ten_to_14"}, 1e14, "100000000000000"},
        FormatCase{{"minus_fourteen_integer_digits"}, -99999999999999.9, "-99999999999999.9"}),
    kalvoran::testing::kCaseName);

// Scientific notation outside it.
INSTANTIATE_TEST_SUITE_P(ScientificNotation, FormatNumber,
    ::testing::Values(FormatCase{{"ten_to_minus_5"}, 0.00001, "1E-05"},
        FormatCase{{"minus_below_ten_to_minus_4"}, -0.000012345, "-1.2345E-05"},
        FormatCase{{"ten_to_15"}, 1e15, "1E+15"},
        FormatCase{{"sixteen_integer_digits"}, 1234567890123456, "1.23456789012346E+15"},
        FormatCase{{"ten_to_100"}, 1e100, "1E+100"},
        FormatCase{{"largest"}, std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        FormatCase{{"minus_largest"}, -std::numeric_limits<double>::max(), "-1.79769313486232E+308"},
        FormatCase{{"smallest"}, std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        FormatCase{{"smallest_normal"}, std::numeric_limits<double>::min(), "2.2250738585072E-308"}),
    kalvoran::testing::kCaseName);

// Rounding that carries into the next power of ten changes the notation.
INSTANTIATE_TEST_SUITE_P(CarryIntoNextPowerOfTen, FormatNumber,
    ::testing::Values(FormatCase{{"to_ten_to_15"}, 999999999999999.5, "1E+15"},
        FormatCase{{"to_one"}, 0.99999999999999994, "1"},
        FormatCase{{"to_ten_to_minus_4"}, 9.99999999999999950e-5, "0.0001"},
        FormatCase{{"to_minus_ten_to_minus_4"}, -9.999999999999999e-5, "-0.0001"}),
    kalvoran::testing::kCaseName);

// No run ever writes these (it refuses them first), but the rule is total.
INSTANTIATE_TEST_SUITE_P(NonFinite, FormatNumber,
    ::testing::Values(FormatCase{{"nan"}, std::numeric_limits<double>::quiet_NaN(), "nan"},
        FormatCase{{"inf"}, kInf, "inf"}, FormatCase{{"minus_inf"}, -kInf, "-inf"}),
    kalvoran::testing::kCaseName);

// Exact ties are rounded away from zero.
INSTANTIATE_TEST_SUITE_P(Ties, FormatNumber,
    ::testing::Values(FormatCase{{"fifteen_digits_and_a_half"}, 100000000000000.5, "100000000000001"},
        FormatCase{{"minus_fifteen_digits_and_a_half"}, -100000000000000.5, "-100000000000001"},
        FormatCase{{"odd_and_a_half"}, 100000000000001.5, "100000000000002"},
        FormatCase{{"below_one"}, 0.5000000000000005, "0.500000000000001"}),
    kalvoran::testing::kCaseName);

// Exact ties, one decimal scale at a time. A value exactly halfway between two
// 15-digit decimals is K x 10^scale with a 16-digit integer K ending in 5. It
// is a double only from scale -22 (K / 10^22 needs 5^22 to divide K) up to
// scale 1 (K x 10 is 2 x 5K, which needs 5K < 2^53); at scale 0, K < 2^53.
// Every tie is built exactly from integers, and the text it must give is K
// rounded up to 15 digits in integer arithmetic.
constexpr int kSmallestTieScale = -22;
constexpr int kLargestTieScale = 1;
constexpr std::uint64_t kFifteenDigits = 1'000'000'000'000'000; // 10^15
constexpr std::uint64_t kSixteenDigits = 10 * kFifteenDigits;
constexpr std::uint64_t kTwoTo53 = std::uint64_t{1} << 53;

constexpr std::uint64_t powerOfFive(int n)
{
    return n == 0 ? 1 : 5 * powerOfFive(n - 1);
}

// The double K x 10^scale, or NaN when it is not exactly one: K / 10^n is
// (K / 5^n) / 2^n, exact when 5^n divides K and K / 5^n < 2^53; K x 10 is
// 5K x 2, exact when 5K < 2^53.
double exactTie(std::uint64_t k, int scale)
{
    const std::uint64_t odd = scale < 0 ? k / powerOfFive(-scale) : k * powerOfFive(scale);
    if ((scale < 0 && odd * powerOfFive(-scale) != k) || odd >= kTwoTo53)
        return std::numeric_limits<double>::quiet_NaN();
    return std::ldexp(static_cast<double>(odd), scale);
}

// The decimal D x 10^exponent as the nearest double. Two different 15-digit
// decimals never give the same double, so comparing these doubles compares the
// decimals exactly.
double decimalValue(std::uint64_t d, int exponent)
{
    return std::strtod((std::to_string(d) + "e" + std::to_string(exponent)).c_str(), nullptr);
}

class ExactTies : public ::testing::TestWithParam<int>
{
};

TEST_P(ExactTies, AreRoundedAwayFromZero)
{
    const int scale = GetParam();
    // K is an odd multiple of 5^n (of 5 at scales 0 and 1), from 10^15 up to the
    // largest K whose tie is still a double.
    const std::uint64_t step = powerOfFive(std::max(-scale, 1));
    const std::uint64_t largest = scale == 1 ? (kTwoTo53 - 1) / 5 : scale == 0 ? kTwoTo53 - 1 : kSixteenDigits - 1;
    std::uint64_t first = (kFifteenDigits + step - 1) / step;
    std::uint64_t last = largest / step;
    first += 1 - first % 2;
    last -= 1 - last % 2;
    ASSERT_LE(first, last) << "no tie at this scale";

    std::vector<std::uint64_t> multiples{first, last};
    std::mt19937_64 random(static_cast<std::uint64_t>(scale + 100));
    std::uniform_int_distribution<std::uint64_t> pick(first / 2, last / 2);
    for (int i = 0; i < 50; ++i)
        multiples.push_back(2 * pick(random) + 1);

    for (const std::uint64_t j : multiples) {
        const std::uint64_t k = j * step;
        ASSERT_EQ(k % 10, 5u);
        ASSERT_GE(k, kFifteenDigits);
        ASSERT_LT(k, kSixteenDigits);
        const double tie = exactTie(k, scale);
        ASSERT_FALSE(std::isnan(tie)) << k << "e" << scale;

        // Up from the tie and away from it (10^15 x 10^(scale + 1) when
        // 9999999999999995 carries into a new digit); down just below it.
        const double below = std::nextafter(tie, 0.0);
        for (const double sign : {1.0, -1.0}) {
            for (const auto &[value, d] : {std::pair{sign * tie, (k + 5) / 10}, std::pair{sign * below, k / 10}}) {
                const std::string text = formatNumber(value).str();
                EXPECT_EQ(std::strtod(text.c_str(), nullptr), sign * decimalValue(d, scale + 1))
                    << (value == sign * tie ? "" : "just below ") << k << "e" << scale << " written " << text
                    << ", not " << d << "e" << scale + 1;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryScale, ExactTies, ::testing::Range(kSmallestTieScale, kLargestTieScale + 1), [](const auto &scale) {
        return (scale.param < 0 ? "TimesTenToMinus" : "TimesTenTo") + std::to_string(std::abs(scale.param));
    });

// Beyond those scales no tie is a double: 5^n does not divide a 16-digit K for
// n > 22, and K x 100 = 4 x 25K needs 25K < 2^53, so K < 10^15.
TEST(ExactTies, ExistAtNoOtherScale)
{
    EXPECT_GT(powerOfFive(-kSmallestTieScale + 1), kSixteenDigits);
    EXPECT_LT(powerOfFive(-kSmallestTieScale), kSixteenDigits);
    EXPECT_LT((kTwoTo53 - 1) / 25, kFifteenDigits);
}

// The formatted text is the value rounded to 15 significant digits: it reads
// back as the reference rounding of the value's exact decimal expansion, is no
// longer than 22 characters, and never uses a decimal comma.
TEST(FormatNumber, RoundTripsAtFifteenDigits)
{
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 200000; ++i) {
        const auto value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const std::string text = formatNumber(value).str();
        ASSERT_LE(text.size(), 22u) << text;
        ASSERT_EQ(text.find(','), std::string::npos) << text;
        const double expected = kalvoran::testing::roundToFifteenDigits(std::fabs(value)).value(value < 0);
        ASSERT_EQ(readLeadingNumber(text), expected) << text;
    }
}

} // namespace
