#include "calc/tables.h"

#include <algorithm>

namespace kalvoran::calc {

namespace {

constexpr std::array kCFactors{
    CFactor{100, 0.713},
    CFactor{120, 1},
    CFactor{130, 1.16},
    CFactor{140, 1.33},
    CFactor{150, 1.51},
};

// A row given as whole multiples of a length unit; each length is the
// product multiple x unit in double precision (so 14 x 0.324 m, not the
// double nearest 4.536).
struct RowInUnits
{
    double nominalDiameter;
    std::array<int, kFittingKinds> multiples;
};

template<std::size_t N>
constexpr std::array<FittingsRow, N> scaleRows(const std::array<RowInUnits, N> &rows, double unit)
{
    std::array<FittingsRow, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i].nominalDiameter = rows[i].nominalDiameter;
        for (std::size_t k = 0; k < kFittingKinds; ++k)
            out[i].lengths[k] = rows[i].multiples[k] * unit;
    }
    return out;
}

// Every SI length is a whole multiple of 0.324 m.
constexpr double kSiLengthUnit = 0.324; // metres

//                  tee, elbow 90, long elbow 90, butterfly, gate, swing check
constexpr auto kSiTable = scaleRows(std::array<RowInUnits, 14>{{
                                        {15, {4, 2, 1, 0, 0, 0}},       // 1.296  0.648  0.324  0      0      0
                                        {20, {5, 2, 2, 0, 0, 0}},       // 1.62   0.648  0.648  0      0      0
                                        {25, {5, 2, 2, 0, 0, 5}},       // 1.62   0.648  0.648  0      0      1.62
                                        {32, {6, 2, 3, 7, 0, 0}},       // 1.944  0.648  0.972  2.268  0      0
                                        {40, {8, 2, 4, 0, 0, 9}},       // 2.592  0.648  1.296  0      0      2.916
                                        {50, {10, 3, 5, 6, 1, 11}},     // 3.24   0.972  1.62   1.944  0.324  3.564
                                        {65, {12, 4, 6, 7, 1, 14}},     // 3.888  1.296  1.944  2.268  0.324  4.536
                                        {80, {15, 5, 7, 10, 1, 16}},    // 4.86   1.62   2.268  3.24   0.324  5.184
                                        {90, {17, 5, 8, 0, 1, 19}},     // 5.508  1.62   2.592  0      0.324  6.156
                                        {100, {20, 6, 10, 12, 2, 22}},  // 6.48   1.944  3.24   3.888  0.648  7.128
                                        {125, {25, 8, 12, 9, 2, 27}},   // 8.1    2.592  3.888  2.916  0.648  8.748
                                        {150, {30, 14, 9, 10, 3, 32}},  // 9.72   4.536  2.916  3.24   0.972  10.368
                                        {200, {35, 18, 13, 12, 4, 45}}, // 11.34  5.832  4.212  3.888  1.296  14.58
                                        {250, {50, 22, 16, 19, 5, 55}}, // 16.2   7.128  5.184  6.156  1.62   17.82
                                    }},
    kSiLengthUnit);

// British lengths are whole feet.
constexpr std::array<FittingsRow, 14> kBritishTable{{
    //  inch   tee elbow long butterfly gate swing
    {0.5, {4, 2, 1, 0, 0, 0}},
    {0.75, {5, 2, 2, 0, 0, 0}},
    {1, {5, 2, 2, 0, 0, 5}},
    {1.25, {6, 2, 3, 7, 0, 0}},
    {1.5, {8, 2, 4, 0, 0, 9}},
    {2, {10, 3, 5, 6, 1, 11}},
    {2.5, {12, 4, 6, 7, 1, 14}},
    {3, {15, 5, 7, 10, 1, 16}},
    {3.5, {17, 5, 8, 0, 1, 19}},
    {4, {20, 6, 10, 12, 2, 22}},
    {5, {25, 8, 12, 9, 2, 27}},
    {6, {30, 14, 9, 10, 3, 32}},
    {8, {35, 18, 13, 12, 4, 45}},
    {10, {50, 22, 16, 19, 5, 55}},
}};

} // namespace

std::optional<CFactor> findCFactor(double c)
{
    const auto it = std::find_if(kCFactors.begin(), kCFactors.end(), [c](const CFactor &f) { return f.c == c; });
    if (it == kCFactors.end())
        return std::nullopt;
    return *it;
}

std::span<const CFactor> cFactorTable()
{
    return kCFactors;
}

std::optional<FittingsRow> findRow(std::span<const FittingsRow> table, double d)
{
    const auto it
        = std::find_if(table.begin(), table.end(), [d](const FittingsRow &row) { return row.nominalDiameter == d; });
    if (it == table.end())
        return std::nullopt;
    return *it;
}

std::span<const FittingsRow> siFittingsTable()
{
    return kSiTable;
}

std::span<const FittingsRow> britishFittingsTable()
{
    return kBritishTable;
}

double equivalentLengthOfFittings(
    const std::array<double, kFittingKinds> &counts, const FittingsRow &row, double multiplier)
{
    double sum = counts[0] * row.lengths[0];
    for (std::size_t k = 1; k < kFittingKinds; ++k)
        sum = sum + counts[k] * row.lengths[k];
    return sum * multiplier;
}

} // namespace kalvoran::calc
