// Powers that the C libraries round wrongly, with their correctly rounded
// values (from MPFR). Unlike power_mpfr_test.cpp this runs wherever the engine
// does, the Windows build under Wine included, so a platform whose power is
// not the correctly rounded one shows here.

#include "calc/power.h"
#include "support/named_case.h"

#include <gtest/gtest.h>

#include <ios>

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

} // namespace
