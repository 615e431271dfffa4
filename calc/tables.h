#pragma once

#include <array>
#include <optional>
#include <span>

namespace kalvoran::calc {

// One row of the C-factor table: a Hazen-Williams C factor and the multiplier
// that scales the equivalent lengths of the fittings for it (dimensionless).
struct CFactor
{
    double c;
    double fittingsMultiplier;
};

// The six kinds of fitting, in the order in which every table lists them:
// tee, 90-degree elbow, long 90-degree elbow, butterfly valve, gate valve,
// swing check valve.
inline constexpr std::size_t kFittingKinds = 6;

// One row of a fittings table: a nominal diameter and the equivalent length of
// one fitting of each kind at that diameter, in the table's length unit.
struct FittingsRow
{
    double nominalDiameter;
    std::array<double, kFittingKinds> lengths;
};

// The C factor that a number selects, compared for exact equality in table
// order; none for any other number.
[[nodiscard]] std::optional<CFactor> findCFactor(double c);

// Every C factor, in table order: what the windows offer in their list.
[[nodiscard]] std::span<const CFactor> cFactorTable();

// The row whose nominal diameter equals d exactly, first match in table order.
[[nodiscard]] std::optional<FittingsRow> findRow(std::span<const FittingsRow> table, double d);

// SI: diameters in millimetres, lengths in metres.
[[nodiscard]] std::span<const FittingsRow> siFittingsTable();
// British: diameters in inches, lengths in feet.
[[nodiscard]] std::span<const FittingsRow> britishFittingsTable();

// Equivalent length of the fittings, in the row's length unit: the counts
// (pieces, in table order) times the row's lengths, summed left to right,
// times the multiplier.
[[nodiscard]] double equivalentLengthOfFittings(
    const std::array<double, kFittingKinds> &counts, const FittingsRow &row, double multiplier);

} // namespace kalvoran::calc
