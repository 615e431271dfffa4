// The correctly rounded power against MPFR, whose mpfr_pow rounds correctly
// by construction. Linux only: MPFR is not part of the Windows build.

#include "calc/power.h"
#include "calc/power_detail.h"
#include "calc/tables.h"
#include "support/named_case.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using kalvoran::calc::correctlyRoundedPow;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSmallest = std::numeric_limits<double>::denorm_min(); // 2^-1074
constexpr double kLargest = std::numeric_limits<double>::max();

// An MPFR number of the given precision, set to a double.
struct Mpfr
{
    explicit Mpfr(mpfr_prec_t precision, double value = 0)
    {
        mpfr_init2(v, precision);
        mpfr_set_d(v, value, MPFR_RNDN);
    }
    ~Mpfr() { mpfr_clear(v); }
    Mpfr(const Mpfr &) = delete;
    Mpfr &operator=(const Mpfr &) = delete;

    mpfr_t v;
};

// x^y rounded once to the nearest double, subnormals and overflow included.
double referencePow(double x, double y)
{
    const mpfr_exp_t emin = mpfr_get_emin();
    const mpfr_exp_t emax = mpfr_get_emax();
    mpfr_set_emin(-1073); // 2^-1074 = 0.5 x 2^-1073 in MPFR's convention
    mpfr_set_emax(1024);
    Mpfr mx(53, x), my(53, y), result(53);
    const int ternary = mpfr_pow(result.v, mx.v, my.v, MPFR_RNDN);
    mpfr_subnormalize(result.v, ternary, MPFR_RNDN);
    const double value = mpfr_get_d(result.v, MPFR_RNDN);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    return value;
}

bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

::testing::AssertionResult roundsCorrectly(double x, double y)
{
    const double got = correctlyRoundedPow(x, y);
    const double expected = referencePow(x, y);
    if (sameDouble(got, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << "pow(" << x << ", " << y << ") gave " << got
                                         << ", correctly rounded " << expected;
}

TEST(CorrectlyRoundedPow, EveryPowerOfTheTablesIsCorrectlyRounded)
{
    for (const double c : {100.0, 120.0, 130.0, 140.0, 150.0})
        EXPECT_TRUE(roundsCorrectly(c, 1.85));
    for (const auto table : {kalvoran::calc::siFittingsTable(), kalvoran::calc::britishFittingsTable()}) {
        for (const auto &row : table)
            EXPECT_TRUE(roundsCorrectly(row.nominalDiameter, 4.87));
    }
}

// Random bases, log-uniform between two bounds, to one exponent (or to random
// exponents in a range).
struct RandomCase : kalvoran::testing::NamedCase
{
    double lowestBase;
    double highestBase;
    double lowestExponent;
    double highestExponent;
    int count;
};

class RandomPowers : public ::testing::TestWithParam<RandomCase>
{
};

TEST_P(RandomPowers, AgreeWithMpfr)
{
    const RandomCase &row = GetParam();
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> logBase(std::log2(row.lowestBase), std::log2(row.highestBase));
    std::uniform_real_distribution<double> exponent(row.lowestExponent, row.highestExponent);
    for (int i = 0; i < row.count; ++i) {
        // A random 53-bit significand, so that every bit of the base varies.
        const double significand = 1 + std::ldexp(static_cast<double>(random() >> 11), -53);
        const double x = std::ldexp(significand, static_cast<int>(std::floor(logBase(random))));
        const double y = row.lowestExponent == row.highestExponent ? row.lowestExponent : exponent(random);
        ASSERT_TRUE(roundsCorrectly(x, y));
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, RandomPowers,
    ::testing::Values(RandomCase{{"FlowsToThe185"}, 1e-3, 1e7, 1.85, 1.85, 300000},
        RandomCase{{"DiametersToThe487"}, 1e-3, 1e7, 4.87, 4.87, 300000},
        // Subnormal bases, underflow to zero and overflow to infinity.
        RandomCase{{"EveryDoubleToThe185"}, kSmallest, kLargest, 1.85, 1.85, 100000},
        RandomCase{{"EveryDoubleToThe487"}, kSmallest, kLargest, 4.87, 4.87, 100000},
        RandomCase{{"AnyExponent"}, 1e-5, 1e5, -60, 60, 100000},
        // Near 1, where y log x is small and y may be large.
        RandomCase{{"NearOneToLargeExponents"}, 0.5, 2, -3000, 3000, 50000},
        RandomCase{{"EveryDoubleToSmallExponents"}, kSmallest, kLargest, -1, 1, 50000}),
    kalvoran::testing::kCaseName);

// The accurate path alone, which the random cases above reach only now and
// then: random bases over every double, random exponents up to the range's
// end, and the same bases to the engine's exponents.
TEST(AccuratePath, AgreesWithMpfrOnItsOwn)
{
    std::mt19937_64 random(1075);
    std::uniform_real_distribution<double> logBase(-1074, 1023);
    std::uniform_real_distribution<double> exponent(-2, 2);
    for (int i = 0; i < 3000; ++i) {
        const double x = std::exp2(logBase(random));
        for (const double y : {1.85, 4.87, exponent(random) * 745 / std::fabs(std::log(x))}) {
            if (x == 1)
                continue;
            const double got = kalvoran::calc::detail::accuratePow(x, y);
            ASSERT_TRUE(sameDouble(got, referencePow(x, y)))
                << std::hexfloat << "accurate pow(" << x << ", " << y << ") gave " << got;
        }
    }
}

// Powers whose exact value is a double, or lies exactly halfway between two
// (where the tie goes to the even one), or is a subnormal or a tie below the
// smallest one.
struct ExactCase : kalvoran::testing::NamedCase
{
    double x;
    double y;
};

class ExactPowers : public ::testing::TestWithParam<ExactCase>
{
};

TEST_P(ExactPowers, AgreeWithMpfr)
{
    EXPECT_TRUE(roundsCorrectly(GetParam().x, GetParam().y));
}

INSTANTIATE_TEST_SUITE_P(Cases, ExactPowers,
    ::testing::Values(ExactCase{{"TenToThe22"}, 10, 22}, ExactCase{{"TenToThe23IsHalfway"}, 10, 23}, // 5^23 has 54 bits
        ExactCase{{"TenToTheMinus1"}, 10, -1}, ExactCase{{"SquareOfA27BitOddIsHalfway"}, 0x7FFFFFF, 2},
        ExactCase{{"CubeOfAn18BitOddIsHalfway"}, 0x3FFFF, 3}, ExactCase{{"NegativeCubeIsHalfway"}, -0x3FFFF, 3},
        ExactCase{{"ThreeHalvesOfASquareIsHalfway"}, 0x3FFFFp0 * 0x3FFFF, 1.5}, // (2^18-1)^3
        ExactCase{{"SquareRootOfASquare"}, 0x1FFFFFFp0 * 0x1FFFFFF, 0.5},
        ExactCase{{"FifthPowerOfAFourthRootIsHalfway"}, 5816822652481, 1.25}, // 1553^4, giving 1553^5
        ExactCase{{"SmallestSubnormal"}, 2, -1074}, ExactCase{{"HalfTheSmallestTiesToZero"}, 0.5, 1075},
        ExactCase{{"SubnormalTieToEven"}, 3 * 0x1p-215, 5}, // 243 x 2^-1075: 121.5 x the smallest
        ExactCase{{"LargestPowerOfTwo"}, 2, 1023}, ExactCase{{"FirstOverflow"}, 2, 1024},
        ExactCase{{"JustBelowOverflow"}, kLargest, 1}),
    kalvoran::testing::kCaseName);

// Exact ties and exact doubles made from integers: a^n x 2^(en) with odd a,
// a^n of 54 bits (halfway) or 53 (a double), for n from 3 to 9.
TEST(ExactPowers, IntegerPowersOfOddIntegersAgreeWithMpfr)
{
    std::mt19937_64 random(54);
    for (int n = 3; n <= 9; ++n) {
        for (const int bits : {53, 54}) {
            // The odd a with 2^(bits-1) <= a^n < 2^bits.
            const auto lowest = static_cast<std::uint64_t>(std::ceil(std::exp2((bits - 1) / static_cast<double>(n))));
            const auto highest = static_cast<std::uint64_t>(std::exp2(bits / static_cast<double>(n)));
            std::uniform_int_distribution<std::uint64_t> pick(lowest / 2, (highest - 1) / 2);
            std::uniform_int_distribution<int> scale(-1074 / n, 1000 / n - 8);
            for (int i = 0; i < 200; ++i) {
                const double a = static_cast<double>(2 * pick(random) + 1);
                const double x = std::ldexp(i % 2 == 0 ? a : -a, scale(random));
                ASSERT_TRUE(roundsCorrectly(x, n)) << n << " " << bits;
            }
        }
    }
}

// Zeros, infinities, NaN, negative bases and the edges of the range give what
// std::pow gives; finite non-zero results are correctly rounded.
TEST(CorrectlyRoundedPow, SpecialValuesAsStdPow)
{
    const std::vector<double> values{0.0, -0.0, 1.0, -1.0, 2.0, -2.0, 0.5, -0.5, 3.0, -3.0, 1.85, -1.85, 4.87, -4.87,
        kSmallest, -kSmallest, kLargest, -kLargest, 1e308, 0x1p53, -0x1p53 - 2, kInf, -kInf, kNaN};
    for (const double x : values) {
        for (const double y : values) {
            const double got = correctlyRoundedPow(x, y);
            const double expected = std::pow(x, y);
            if (std::isfinite(expected) && expected != 0)
                EXPECT_TRUE(roundsCorrectly(x, y));
            else
                EXPECT_TRUE(sameDouble(got, expected))
                    << std::hexfloat << "pow(" << x << ", " << y << ") gave " << got << ", std::pow " << expected;
        }
    }
}

} // namespace
