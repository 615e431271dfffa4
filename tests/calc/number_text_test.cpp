#include "calc/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using kalvoran::calc::formatNumber;
using kalvoran::calc::readLeadingNumber;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReadCase
{
    std::string text;
    double expected;
};

class ReadLeadingNumber : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadLeadingNumber, ReadsTheNumberAtTheStart)
{
    const auto &[text, expected] = GetParam();
    EXPECT_EQ(readLeadingNumber(text), expected) << '"' << text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadLeadingNumber,
    ::testing::Values(
        // Blanks are dropped wherever they stand; other control characters end the number.
        ReadCase{"1 000", 1000}, ReadCase{"  120  ", 120}, ReadCase{"- 5", -5}, ReadCase{"\t1\n2", 12},
        ReadCase{"1\r2", 1}, ReadCase{"1 . 5 E 2", 150},
        // Sign, digits, one full stop.
        ReadCase{".5", 0.5}, ReadCase{"+.5", 0.5}, ReadCase{"-2.5", -2.5}, ReadCase{"+7", 7}, ReadCase{"007", 7},
        ReadCase{"1.", 1}, ReadCase{"1.2.3", 1.2}, ReadCase{"--1", 0}, ReadCase{"+-1", 0},
        // Exponents: E or D, either case; a letter without digits adds nothing.
        ReadCase{"1.5E3", 1500}, ReadCase{"1.5e3", 1500}, ReadCase{"1.5D3", 1500}, ReadCase{"1.5d3", 1500},
        ReadCase{"1.2E2", 120}, ReadCase{"25E-1", 2.5}, ReadCase{"1E", 1}, ReadCase{"1E+", 1}, ReadCase{"1e-x", 1},
        ReadCase{"1EE2", 1}, ReadCase{"1e0000000000000000000000002", 100},
        // Reading stops at the first character that cannot continue the number.
        ReadCase{"120abc", 120}, ReadCase{"100mm", 100}, ReadCase{"1,5", 1}, ReadCase{"0,5", 0}, ReadCase{"3/4", 3},
        ReadCase{"1_000", 1},
        ReadCase{"12\xC2\xA0"
                 "3",
            12},
        // No number at the start reads as 0.
        ReadCase{"", 0}, ReadCase{"Select C", 0}, ReadCase{"Select Dia", 0}, ReadCase{".", 0}, ReadCase{"-", 0},
        ReadCase{"e5", 0}, ReadCase{".e5", 0}, ReadCase{"abc120", 0}, ReadCase{"inf", 0}, ReadCase{"nan", 0},
        ReadCase{"0x10", 0}, ReadCase{"\xEF\xBC\x91\xEF\xBC\x92", 0} /* full-width 12 */,
        // Correct rounding, also of long and tied texts.
        ReadCase{"0.1000000000000000055511151231257827021181583404541015625", 0.1},
        ReadCase{"9007199254740993", 9007199254740992.0}, ReadCase{"1.79769313486232E+308", kInf},
        ReadCase{"1.7976931348623157e308", std::numeric_limits<double>::max()},
        ReadCase{"4.9e-324", std::numeric_limits<double>::denorm_min()},
        ReadCase{"4.94065645841247E-324", std::numeric_limits<double>::denorm_min()},
        // Beyond the range of a double: infinity, the caller's cue; too small: zero.
        ReadCase{"1E999", kInf}, ReadCase{"-1E999", -kInf}, ReadCase{"1e99999999999999999999999", kInf},
        ReadCase{"1E-999", 0}, ReadCase{"2e-324", 0}, ReadCase{"0e999999", 0}));

TEST(FormatNumber, NonFiniteValuesHaveAText)
{
    // No run ever writes these (it refuses them first), but the rule is total.
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN()).view(), "nan");
    EXPECT_EQ(formatNumber(kInf).view(), "inf");
    EXPECT_EQ(formatNumber(-kInf).view(), "-inf");
}

TEST(ReadLeadingNumber, NegativeZeroKeepsItsSign)
{
    EXPECT_TRUE(std::signbit(readLeadingNumber("-0")));
    EXPECT_TRUE(std::signbit(readLeadingNumber("-1e-999")));
}

TEST(ReadLeadingNumber, LongTexts)
{
    const std::size_t million = 1'000'000;
    // A 400-digit number is out of range; a million digits too.
    EXPECT_EQ(readLeadingNumber("1" + std::string(399, '0')), kInf);
    EXPECT_EQ(readLeadingNumber("-" + std::string(million, '9')), -kInf);
    // Leading zeros and blanks, however many, change nothing.
    EXPECT_EQ(readLeadingNumber(std::string(million, '0') + "42"), 42);
    EXPECT_EQ(readLeadingNumber(std::string(million, ' ') + "4\t2"), 42);
    EXPECT_EQ(readLeadingNumber("7" + std::string(million, 'x')), 7);
    // The exponent makes up for a million places after the full stop.
    EXPECT_EQ(readLeadingNumber("0." + std::string(million - 1, '0') + "1e1000000"), 1);
    EXPECT_EQ(readLeadingNumber("1" + std::string(million, '0') + "e-1000000"), 1);
    // A digit far beyond those that fit still decides a tie: 2^53 + 1 + tiny.
    EXPECT_EQ(readLeadingNumber("9007199254740993." + std::string(5000, '0') + "1"), 9007199254740994.0);
    EXPECT_EQ(readLeadingNumber("9007199254740993." + std::string(5000, '0')), 9007199254740992.0);
}

struct FormatCase
{
    double value;
    std::string expected;
};

class FormatNumber : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatNumber, WritesFifteenSignificantDigits)
{
    const auto &[value, expected] = GetParam();
    EXPECT_EQ(formatNumber(value).view(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatNumber,
    ::testing::Values(FormatCase{0.0, "0"}, FormatCase{-0.0, "0"}, FormatCase{1, "1"}, FormatCase{2.0, "2"},
        FormatCase{-3, "-3"}, FormatCase{0.5, "0.5"}, FormatCase{-0.5, "-0.5"}, FormatCase{12.5, "12.5"},
        FormatCase{1.0 / 3, "0.333333333333333"}, FormatCase{2.0 / 3, "0.666666666666667"},
        FormatCase{0.1 + 0.2, "0.3"}, FormatCase{5.184, "5.184"},
        // Plain notation from 1E-4 up to 15 integer digits.
        FormatCase{0.0001, "0.0001"}, FormatCase{0.000123456789012345678, "0.000123456789012346"},
        FormatCase{123456789012345, "123456789012345"}, FormatCase{1e14, "100000000000000"},
        FormatCase{-99999999999999.9, "-99999999999999.9"},
        // Scientific notation outside it.
        FormatCase{0.00001, "1E-05"}, FormatCase{-0.000012345, "-1.2345E-05"}, FormatCase{1e15, "1E+15"},
        FormatCase{1234567890123456, "1.23456789012346E+15"}, FormatCase{1e100, "1E+100"},
        FormatCase{std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        FormatCase{-std::numeric_limits<double>::max(), "-1.79769313486232E+308"},
        FormatCase{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        FormatCase{std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        // Rounding that carries into the next power of ten changes the notation.
        FormatCase{999999999999999.5, "1E+15"}, FormatCase{0.99999999999999994, "1"},
        FormatCase{9.99999999999999950e-5, "0.0001"}, FormatCase{-9.999999999999999e-5, "-0.0001"},
        // Exact ties are rounded away from zero.
        FormatCase{100000000000000.5, "100000000000001"}, FormatCase{-100000000000000.5, "-100000000000001"},
        FormatCase{100000000000001.5, "100000000000002"}, FormatCase{0.5000000000000005, "0.500000000000001"}));

// The formatted text is the value rounded to 15 significant digits: it reads
// back as exactly what a correctly rounded %.14e would give, is no longer than
// 22 characters, and never uses a decimal comma.
TEST(FormatNumber, RoundTripsAtFifteenDigits)
{
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 200000; ++i) {
        double value = 0;
        const auto bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        const std::string text = formatNumber(value).str();
        ASSERT_LE(text.size(), 22u) << text;
        ASSERT_EQ(text.find(','), std::string::npos) << text;
        char reference[40] = {};
        const auto r
            = std::to_chars(reference, reference + sizeof reference - 1, value, std::chars_format::scientific, 14);
        double rounded = 0; // to_chars rounds ties to even
        std::from_chars(reference, r.ptr, rounded);
        const double read = readLeadingNumber(text);
        if (std::isinf(rounded)) { // 1.79769313486232E+308 and beyond: no finite double holds it
            EXPECT_EQ(read, rounded) << text;
        } else if (read != rounded) {
            // Only an exact tie may differ: then the text lies as far beyond the
            // value as to_chars' choice lies before it.
            ASSERT_GT(std::fabs(read), std::fabs(rounded)) << text << " for " << reference;
            ASSERT_EQ(read - value, value - rounded) << text << " for " << reference;
        }
    }
}

} // namespace
