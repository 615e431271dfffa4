// Powers that the C libraries round wrongly, with their correctly rounded
// values (from MPFR). Unlike power_mpfr_test.cpp this runs wherever the engine
// does, the Windows build under Wine included, so a platform whose power is
// not the correctly rounded one shows here.

#include "calc/power.h"
#include "calc/power_detail.h"
#include "support/named_case.h"

#include <gtest/gtest.h>

#include <ios>
#include <limits>
#include <optional>

namespace {

struct KnownPower : kalvoran::testing::NamedCase
{
    double x;
    double y;
    double expected;
};

class KnownPowers : public ::testing::TestWithParam<KnownPower>
{
};

TEST_P(KnownPowers, AreCorrectlyRounded)
{
    const KnownPower &row = GetParam();
    const double got = kalvoran::calc::correctlyRoundedPow(row.x, row.y);
    EXPECT_EQ(got, row.expected) << std::hexfloat << "got " << got << ", correctly rounded " << row.expected;
}

INSTANTIATE_TEST_SUITE_P(Rows, KnownPowers,
    ::testing::Values(
        // MinGW's pow ends in ...dfa: the friction loss of Q 79 gpm then ends
        // in 9 instead of 8 on Windows.
        KnownPower{{"FlowMingwRoundsUp"}, 79, 1.85, 0x1.950f8b70f2df9p+11},
        KnownPower{{"FlowBothRoundUp"}, 183.2, 1.85, 0x1.e005ea12d18e4p+13},
        // 10^23 lies halfway between two doubles; glibc's pow takes the odd one.
        KnownPower{{"TenToThe23TiesToEven"}, 10, 23, 0x1.52d02c7e14af6p+76},
        // 243 x 2^-1075 is halfway between 121 and 122 times the smallest subnormal.
        KnownPower{{"SubnormalTiesToEven"}, 3 * 0x1p-215, 5, 0x7ap-1074}, KnownPower{{"TenToThe5"}, 10, 5, 1e5}),
    kalvoran::testing::kCaseName);

// The fast path rounds what its error bound lets it decide and leaves the
// rest, halfway points first, to the accurate path.
TEST(FastPath, DecidesOrdinaryPowersAndLeavesHalfwayOnes)
{
    EXPECT_EQ(kalvoran::calc::detail::fastPow(79, 1.85), 0x1.950f8b70f2df9p+11);
    EXPECT_FALSE(kalvoran::calc::detail::fastPow(10, 23).has_value());   // halfway between two doubles
    EXPECT_FALSE(kalvoran::calc::detail::fastPow(2, -1074).has_value()); // subnormal
}

// The exact step decides halfway cases, where the approximations never can:
// its answers are checked here directly, refusals included.
struct ExactCase : kalvoran::testing::NamedCase
{
    double x;
    double y;
    std::optional<double> expected; // nothing: not an odd integer below 2^54 times a power of two
};

class ExactPowers : public ::testing::TestWithParam<ExactCase>
{
};

TEST_P(ExactPowers, AreExactOrRefused)
{
    const ExactCase &row = GetParam();
    const auto got = kalvoran::calc::detail::exactPower(row.x, row.y);
    ASSERT_EQ(got.has_value(), row.expected.has_value());
    if (got) {
        EXPECT_EQ(*got, *row.expected);
    }
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Rows, ExactPowers,
    ::testing::Values(ExactCase{{"TenToThe5"}, 10, 5, 1e5}, ExactCase{{"SquareRoot"}, 4, 0.5, 2.0},
        ExactCase{{"PowerOfTwoRootOfReciprocal"}, 0.25, -0.5, 2.0},
        ExactCase{{"SmallestSubnormal"}, 0x1p-537, 2, 0x1p-1074},
        ExactCase{{"InfiniteBase"}, kInfinity, 2, std::nullopt}, ExactCase{{"RootTooDeep"}, 2, 0x1p-11, std::nullopt},
        ExactCase{{"NotASquare"}, 3, 0.5, std::nullopt}, ExactCase{{"ExponentTooLarge"}, 3, 4097, std::nullopt},
        ExactCase{{"ReciprocalOfOdd"}, 3, -1, std::nullopt},
        ExactCase{{"HalfwayTiesToEven"}, 3, 34, 16677181699666568.0}, // 3^34 has 54 bits
        ExactCase{{"MoreThan54Bits"}, 3, 35, std::nullopt}, ExactCase{{"FarBelowTheDoubles"}, 0x1p-1000, 2, 0.0}),
    kalvoran::testing::kCaseName);

} // namespace
