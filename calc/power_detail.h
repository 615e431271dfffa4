#pragma once

#include <cstdint>
#include <optional>

// The two paths of correctlyRoundedPow(), apart from its public header, for
// power.cpp, the tests and the benchmarks. Each takes a finite x > 0, x != 1,
// and a finite y != 0.

namespace kalvoran::calc::detail {

// x^y from double-double arithmetic, when its rounding test can tell the
// nearest double; nothing when it cannot (rarely) or when x^y leaves the
// normal doubles.
[[nodiscard]] std::optional<double> fastPow(double x, double y);

// x^y correctly rounded in every case, from fixed-point arithmetic of
// growing precision: slow, and taken only when fastPow() gives nothing.
[[nodiscard]] double accuratePow(double x, double y);

// x^y rounded once to the nearest double, when it is an odd integer below
// 2^54 times a power of two (so that it may be a double or lie halfway
// between two); nothing otherwise.
[[nodiscard]] std::optional<double> exactPower(double x, double y);

// How many times accuratePow() has run in this process.
[[nodiscard]] std::uint64_t accuratePathRuns();

} // namespace kalvoran::calc::detail
