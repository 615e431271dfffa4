#pragma once

#include <optional>

// The exact step of correctlyRoundedPow(), apart from its public header so
// that binary128 stays out of every file that only wants a power. Used by
// power.cpp and its tests.

namespace kalvoran::calc::detail {

__extension__ using Quad = __float128; // binary128: a 113-bit significand

// |x|^y exactly, when it is an odd integer below 2^113 times a power of two;
// nothing otherwise.
[[nodiscard]] std::optional<Quad> exactDyadicPower(double x, double y);

} // namespace kalvoran::calc::detail
