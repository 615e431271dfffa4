#pragma once

#include <optional>

namespace kalvoran::calc {

// x raised to the power y, correctly rounded: the exact value of x^y for the
// two doubles, rounded once to the nearest double (ties to even). The C
// libraries' pow functions are not, and differ from one another in the last
// bit, so a result would depend on the platform; this one gives the same bits
// everywhere. Zeros, infinities, NaN, negative bases, overflow and underflow
// give what std::pow gives.
[[nodiscard]] double correctlyRoundedPow(double x, double y);

namespace detail {

__extension__ using Quad = __float128; // binary128: a 113-bit significand

// |x|^y exactly, when it is an odd integer below 2^113 times a power of two;
// nothing otherwise. correctlyRoundedPow() settles powers near a halfway
// point between two doubles with it; declared here for its tests.
[[nodiscard]] std::optional<Quad> exactDyadicPower(double x, double y);

} // namespace detail

} // namespace kalvoran::calc
