#pragma once

namespace kalvoran::calc {

// x raised to the power y, correctly rounded: the exact value of x^y for the
// two doubles, rounded once to the nearest double (ties to even). The C
// libraries' pow functions are not, and differ from one another in the last
// bit, so a result would depend on the platform; this one gives the same bits
// everywhere. Zeros, infinities, NaN, negative bases, overflow and underflow
// give what std::pow gives.
[[nodiscard]] double correctlyRoundedPow(double x, double y);

} // namespace kalvoran::calc
