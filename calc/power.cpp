#include "calc/power.h"
#include "calc/power_exact.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// x^y in binary128 (113-bit significand) from GCC's libquadmath, which g++
// and MinGW's g++ both ship. Declared here because clang does not find
// <quadmath.h>; the same function, compiled from the same source, on every
// platform.
extern "C" __float128 powq(__float128 x, __float128 y);

// Why rounding twice gives the correctly rounded double.
//
// powq's result r is within 2^-112 |x^y| of the exact x^y (the tests hold it
// to 2^-104 against MPFR, still far inside the margin below). Rounding r to a
// double gives the double nearest x^y unless a point halfway between two
// doubles lies between r and x^y, or r falls on one. So when r is further
// than 2^-100 |r| from every halfway point, its double is the answer.
//
// Near a halfway point, x^y may be one itself (10^23 = 5^23 x 2^23, with 5^23
// of 54 bits), where an error in r's last bit would break the tie the wrong
// way. Every halfway point and every double is an odd integer below 2^113
// times a power of two, so exactDyadicPower() works such an x^y out in
// integers and that exact value is rounded once.
//
// Otherwise x^y is never halfway, and r rounds correctly unless x^y lies
// within r's error of a halfway point. The engine's exponents 1.85 and 4.87
// make x^y irrational for every finite x > 0 other than 1, so for them that
// is the only case left; the tests check the table entries' powers against
// MPFR.

namespace kalvoran::calc {

namespace {

using detail::Quad;
__extension__ using Wide = unsigned __int128;

constexpr double kLargest = std::numeric_limits<double>::max(); // 2^1024 - 2^971
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kDoubleDigits = std::numeric_limits<double>::digits; // 53
constexpr int kQuadDigits = 113;
constexpr double kHalfwayMargin = 0x1p-100; // relative; powq errs by less than 2^-112

// Non-zero and at most twice the largest double, where rounding can still
// give a finite double; false for NaN.
bool withinDoubleRange(Quad v)
{
    const Quad magnitude = v < 0 ? -v : v;
    return magnitude > 0 && magnitude <= static_cast<Quad>(kLargest) * 2;
}

// The double after d, with 2^1024 after the largest.
Quad nextUp(double d)
{
    return d == kLargest ? static_cast<Quad>(kLargest) + static_cast<Quad>(0x1p971) : std::nextafter(d, kInfinity);
}

// Whether a positive finite v lies within kHalfwayMargin of a point halfway
// between two adjacent doubles (counting 2^1024 as the one after the largest,
// where a value stops rounding to a finite double, and 0 as the one before
// the smallest subnormal). All the arithmetic here is exact in binary128.
bool nearHalfway(Quad v)
{
    const double d = static_cast<double>(v);
    Quad halfway = 0;
    if (std::isinf(d)) {
        halfway = (static_cast<Quad>(kLargest) + nextUp(kLargest)) / 2;
    } else {
        const Quad neighbour = v >= static_cast<Quad>(d) ? nextUp(d) : static_cast<Quad>(std::nextafter(d, 0.0));
        halfway = (static_cast<Quad>(d) + neighbour) / 2;
    }
    const Quad distance = v >= halfway ? v - halfway : halfway - v;
    return distance <= v * static_cast<Quad>(kHalfwayMargin);
}

// |v| as odd x 2^exponent, for a finite non-zero double.
struct Dyadic
{
    std::uint64_t odd;
    int exponent;
};

Dyadic split(double v)
{
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(v), &exponent); // in [0.5, 1)
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, kDoubleDigits));
    const int zeros = std::countr_zero(significand);
    return {significand >> zeros, exponent - kDoubleDigits + zeros};
}

} // namespace

std::optional<Quad> detail::exactDyadicPower(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y) || x == 0 || y == 0)
        return std::nullopt;
    // |x| = a x 2^e and y = +-p x 2^s, with a and p odd.
    auto [base, scale] = split(x);
    const auto [p, s] = split(y);

    // y = +-p / 2^k: |x|^y is dyadic only if |x| is the 2^k-th power of a
    // dyadic number, that is a is a 2^k-th power and 2^k divides e. For an odd
    // a >= 3 below 2^53 that needs k <= 5; for a = 1, 2^k dividing e needs
    // k <= 10 (0 < |e| <= 1074: x = 1 never comes here, powq gives 1 exactly).
    constexpr int kDeepestRoot = 10;
    if (-s > kDeepestRoot)
        return std::nullopt;
    for (int k = 0; k < -s; ++k) {
        const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(base))); // exact for squares
        if (root * root != base || scale % 2 != 0)
            return std::nullopt;
        base = root;
        scale /= 2;
    }

    // Now |x|^y = base^(+-n) x 2^(+-scale n). For base = 1 a result near the
    // doubles needs |scale n| <= 1076 + 113; for base >= 3, base^n < 2^113
    // needs n <= 71.
    constexpr std::uint64_t kLargestExponent = 2048;
    const int shift = s > 0 ? s : 0;
    if (shift > 11 || p > (kLargestExponent >> shift))
        return std::nullopt;
    const std::uint64_t n = p << shift;
    const bool reciprocal = y < 0;
    if (reciprocal && base != 1) // 1 / odd is not dyadic
        return std::nullopt;

    constexpr Wide kLimit = Wide{1} << kQuadDigits;
    Wide odd = 1;
    for (std::uint64_t i = 0; i < n && base != 1; ++i) {
        if (odd > (kLimit - 1) / base)
            return std::nullopt; // more than 113 bits: never halfway
        odd *= base;
    }

    const std::int64_t power = static_cast<std::int64_t>(scale) * static_cast<std::int64_t>(n);
    const std::int64_t exponent = reciprocal ? -power : power;
    if (exponent < -1300 || exponent > 1100) // not near a double: cannot happen here
        return std::nullopt;
    // 2^exponent as a product of two doubles, each exact.
    const auto half = static_cast<int>(exponent / 2);
    const Quad scaleFactor = static_cast<Quad>(std::ldexp(1.0, half))
        * static_cast<Quad>(std::ldexp(1.0, static_cast<int>(exponent) - half));
    return static_cast<Quad>(odd) * scaleFactor;
}

double correctlyRoundedPow(double x, double y)
{
    const Quad r = powq(x, y);
    const auto rounded = static_cast<double>(r);
    if (!withinDoubleRange(r) || !nearHalfway(r < 0 ? -r : r))
        return rounded; // zeros, infinities, NaN, and nearly every finite result
    const std::optional<Quad> exact = detail::exactDyadicPower(x, y);
    if (!exact)
        return rounded;
    return static_cast<double>(r < 0 ? -*exact : *exact);
}

} // namespace kalvoran::calc
