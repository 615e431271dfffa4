#include "calc/tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

using namespace kalvoran::calc;

namespace {

TEST(CFactorTable, SelectsOnlyTheListedFactors)
{
    const std::array<CFactor, 5> listed{{{100, 0.713}, {120, 1}, {130, 1.16}, {140, 1.33}, {150, 1.51}}};
    for (const auto &[c, multiplier] : listed) {
        const auto found = findCFactor(c);
        ASSERT_TRUE(found) << c;
        EXPECT_EQ(found->c, c);
        EXPECT_EQ(found->fittingsMultiplier, multiplier);
    }
    for (const double c :
        {0.0, 110.0, 125.0, -120.0, 1.2, 1200.0, std::nextafter(120.0, 0.0), std::nextafter(120.0, 200.0),
            std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(findCFactor(c)) << c;
}

// The SI lengths in metres as printed for the fitting trade, to compare with
// the tables' products of 0.324 m.
struct PrintedRow
{
    double diameter;
    std::array<double, kFittingKinds> metres;
};
constexpr std::array<PrintedRow, 14> kPrintedSi{{
    {15, {1.296, 0.648, 0.324, 0, 0, 0}},
    {20, {1.62, 0.648, 0.648, 0, 0, 0}},
    {25, {1.62, 0.648, 0.648, 0, 0, 1.62}},
    {32, {1.944, 0.648, 0.972, 2.268, 0, 0}},
    {40, {2.592, 0.648, 1.296, 0, 0, 2.916}},
    {50, {3.24, 0.972, 1.62, 1.944, 0.324, 3.564}},
    {65, {3.888, 1.296, 1.944, 2.268, 0.324, 4.536}},
    {80, {4.86, 1.62, 2.268, 3.24, 0.324, 5.184}},
    {90, {5.508, 1.62, 2.592, 0, 0.324, 6.156}},
    {100, {6.48, 1.944, 3.24, 3.888, 0.648, 7.128}},
    {125, {8.1, 2.592, 3.888, 2.916, 0.648, 8.748}},
    {150, {9.72, 4.536, 2.916, 3.24, 0.972, 10.368}},
    {200, {11.34, 5.832, 4.212, 3.888, 1.296, 14.58}},
    {250, {16.2, 7.128, 5.184, 6.156, 1.62, 17.82}},
}};

TEST(SiFittingsTable, HoldsThePrintedLengthsAsProductsOf0324)
{
    const auto table = siFittingsTable();
    ASSERT_EQ(table.size(), kPrintedSi.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].nominalDiameter, kPrintedSi[i].diameter);
        for (std::size_t k = 0; k < kFittingKinds; ++k) {
            const double printed = kPrintedSi[i].metres[k];
            const double multiple = std::round(printed / 0.324);
            EXPECT_NEAR(multiple * 0.324, printed, 1e-12);
            EXPECT_EQ(table[i].lengths[k], multiple * 0.324) << "row " << i << " kind " << k;
        }
    }
    // 14 x 0.324 is held, not the double nearest 4.536.
    EXPECT_EQ(findRow(table, 65)->lengths[5], 14 * 0.324);
    EXPECT_NE(findRow(table, 65)->lengths[5], 4.536);
}

TEST(BritishFittingsTable, KeepsItsIrregularRows)
{
    const auto table = britishFittingsTable();
    ASSERT_EQ(table.size(), 14u);
    const std::array<double, 14> keys{0.5, 0.75, 1, 1.25, 1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 8, 10};
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(table[i].nominalDiameter, keys[i]);
    using Lengths = std::array<double, kFittingKinds>;
    EXPECT_EQ(findRow(table, 1.25)->lengths, (Lengths{6, 2, 3, 7, 0, 0}));
    EXPECT_EQ(findRow(table, 1)->lengths, (Lengths{5, 2, 2, 0, 0, 5}));
    EXPECT_EQ(findRow(table, 6)->lengths, (Lengths{30, 14, 9, 10, 3, 32}));
    EXPECT_EQ(findRow(table, 10)->lengths, (Lengths{50, 22, 16, 19, 5, 55}));
}

TEST(DiameterLookup, IsExact)
{
    struct Case
    {
        std::span<const FittingsRow> table;
        std::vector<double> listed;
        std::vector<double> unlisted;
    };
    for (const auto &[table, listed, unlisted] : {Case{siFittingsTable(), {50, 250}, {0, 4, 100.5, 300, 10}},
             Case{britishFittingsTable(), {1.5, 0.75}, {12, 0.25, 1.2, 15, std::nextafter(2.0, 3.0)}}}) {
        for (const double d : listed) {
            const auto row = findRow(table, d);
            EXPECT_TRUE(row) << d;
            EXPECT_EQ(row.value_or(FittingsRow{}).nominalDiameter, d);
        }
        for (const double d : unlisted)
            EXPECT_FALSE(findRow(table, d)) << d;
    }
}

TEST(EquivalentLengthOfFittings, SumsInTableOrderThenScales)
{
    const FittingsRow si50 = *findRow(siFittingsTable(), 50);
    const FittingsRow br2 = *findRow(britishFittingsTable(), 2);
    const FittingsRow br05 = *findRow(britishFittingsTable(), 0.5);
    struct Case
    {
        std::array<double, kFittingKinds> counts;
        const FittingsRow *row;
        double multiplier;
        double expected;
    };
    const std::array cases{
        Case{{1, 2, 0, 0, 0, 0}, &si50, 1, 10 * 0.324 + 2 * (3 * 0.324)},
        Case{{1, 2, 0, 0, 0, 0}, &si50, 0.713, (10 * 0.324 + 2 * (3 * 0.324)) * 0.713},
        Case{{1, 2, 1, 1, 1, 1}, &br2, 1, 39},
        Case{{1, 2, 0, 1, 1, 1}, &br2, 1, 34},
        Case{{0, 0, 1, 0, 0, 0}, &br2, 1.51, 5 * 1.51}, // long elbows count like the rest
        Case{{1.5, 0, 0, 0, 0, 0}, &br2, 1, 15},        // fractions as they come
        Case{{-1, 0, 0, 0, 0, 0}, &br2, 1, -10},        // negatives too
        Case{{0, 0, 0, 9, 9, 9}, &br05, 1, 0},          // kinds with no length add nothing
        Case{{0, 0, 0, 0, 0, 0}, &si50, 1.33, 0},
    };
    for (const auto &[counts, row, multiplier, expected] : cases)
        EXPECT_EQ(equivalentLengthOfFittings(counts, *row, multiplier), expected);
}

} // namespace
