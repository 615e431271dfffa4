// The accurate path of correctlyRoundedPow(): exact powers first, then x^y in
// fixed point at 128, 256, ... bits until the rounding is sure. Its error
// bound, for P bits, with F = P + 160 bits after the point, each operation
// truncating by less than 2^-F (one unit):
//   - log 2 to 2^12 units (about F/3 terms of 2 atanh(1/3), two each);
//   - exp of |v| < 1 to 2^17 units of itself: v / 2^8 in at most F/9 terms,
//     squared 8 times, each doubling the relative error;
//   - log x = e log 2 + l0 + log1p(m exp(-l0) - 1), x = 2^e m: 2^22 units;
//   - y log x: |y| <= 2^63 here (|y log x| < 746 and |log x| >= 2^-54), with
//     e = 0 when |y| > 2^11, so 2^81 units at most;
//   - exp of that, reduced by n log 2: 2^82 units of itself.
// That is 2^-(P + 78), well inside the 2^-P the rounding allows for.

#include "calc/power_detail.h"
#include "calc/power_fixed.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

namespace kalvoran::calc {

namespace {

using detail::Fixed;
using detail::kLimbBits;
using detail::Limb;

std::atomic<std::uint64_t> g_accurateRuns{0};

// log 2 = 2 atanh(1/3) = 2 (1/3 + 1/(3 3^3) + 1/(5 3^5) + ...).
Fixed logOfTwo(int fractionLimbs)
{
    Fixed sum(fractionLimbs);
    Fixed power = sum.one();
    power.divide(3);
    for (Limb k = 1; !power.isZero(); k += 2) {
        Fixed term = power;
        sum += term.divide(k);
        power.divide(9);
    }
    return sum + sum;
}

// exp(v) for |v| < 1: the series of v / 2^8, squared 8 times.
Fixed exponential(const Fixed &v)
{
    constexpr int kHalvings = 8;
    Fixed small = v;
    small.shift(-kHalvings);
    Fixed sum = v.one();
    Fixed term = sum;
    for (Limb k = 1;; ++k) {
        term = term * small;
        term.divide(k);
        if (term.isZero())
            break;
        sum += term;
    }
    for (int i = 0; i < kHalvings; ++i)
        sum = sum * sum;
    return sum;
}

// log(1 + w) for |w| < 2^-30: w - w^2/2 + w^3/3 - ...
Fixed logOnePlus(const Fixed &w)
{
    Fixed sum = w;
    Fixed power = w;
    for (Limb k = 2;; ++k) {
        power = power * w;
        if (power.isZero())
            break;
        Fixed term = power;
        term.divide(k);
        sum += k % 2 == 0 ? -term : term;
    }
    return sum;
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
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int zeros = std::countr_zero(significand);
    return {significand >> zeros, exponent - 53 + zeros};
}

// x^y at P bits as value x 2^scale, the value near [0.7, 1.5).
struct Approximation
{
    Fixed value;
    std::int64_t scale;
};

Approximation approximate(double x, double y, int precision)
{
    const int limbs = (precision + 160 + kLimbBits - 1) / kLimbBits;
    const Fixed ln2 = logOfTwo(limbs);

    // x = 2^e m, m in [0.70, 1.42); log m = l0 + log1p(m exp(-l0) - 1) for any
    // l0 near it, here the C library's.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.7071) {
        m *= 2;
        --e;
    }
    const Fixed l0 = Fixed::fromDouble(std::log(m), limbs);
    const Fixed w = Fixed::fromDouble(m, limbs) * exponential(-l0) - l0.one();
    Fixed logX = l0 + logOnePlus(w);
    Fixed eLn2 = ln2;
    eLn2.multiply(static_cast<Limb>(e < 0 ? -e : e));
    logX += e < 0 ? -eLn2 : eLn2;

    // t = y log x, with y = +-Y 2^k: Y's two halves, each exact.
    const auto [odd, k] = split(y);
    Fixed high = logX;
    high.multiply(static_cast<Limb>(odd >> kLimbBits)).shift(kLimbBits + k);
    Fixed low = logX;
    low.multiply(static_cast<Limb>(odd)).shift(k);
    Fixed t = high + low;
    if (y < 0)
        t = -t;

    // exp(t) = 2^n exp(t - n log 2).
    const auto n = std::llround(t.estimate() / 0.6931471805599453);
    Fixed nLn2 = ln2;
    nLn2.multiply(static_cast<Limb>(n < 0 ? -n : n));
    const Fixed r = n < 0 ? t + nLn2 : t - nLn2;
    return {exponential(r), n};
}

} // namespace

std::optional<double> detail::exactPower(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y) || x == 0 || y == 0)
        return std::nullopt;
    // x = a x 2^e and y = +-p x 2^s, with a and p odd.
    auto [base, scale] = split(x);
    const auto [p, s] = split(y);

    // y = +-p / 2^k: x^y is dyadic only if x is the 2^k-th power of a dyadic
    // number, that is a is a 2^k-th power and 2^k divides e. For an odd
    // a >= 3 below 2^53 that needs k <= 5; for a = 1, 2^k dividing e needs
    // k <= 10 (0 < |e| <= 1074).
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

    // Now x^y = base^(+-n) x 2^(+-scale n). For base = 1 a result near the
    // doubles needs |scale n| <= 1076; for base >= 3, base^n < 2^54 needs
    // n <= 34.
    constexpr std::uint64_t kLargestExponent = 2048;
    const int shift = s > 0 ? s : 0;
    if (shift > 11 || p > (kLargestExponent >> shift))
        return std::nullopt;
    const std::uint64_t n = p << shift;
    const bool reciprocal = y < 0;
    if (reciprocal && base != 1) // 1 / odd is not dyadic
        return std::nullopt;

    constexpr std::uint64_t kLimit = std::uint64_t{1} << 54;
    std::uint64_t odd = 1;
    for (std::uint64_t i = 0; i < n && base != 1; ++i) {
        if (odd > (kLimit - 1) / base)
            return std::nullopt; // 55 bits or more: neither a double nor halfway
        odd *= base;
    }
    const std::int64_t power = std::int64_t{scale} * static_cast<std::int64_t>(n);
    return Fixed::fromInteger(odd, 0).rounded(reciprocal ? -power : power);
}

double detail::accuratePow(double x, double y)
{
    g_accurateRuns.fetch_add(1, std::memory_order_relaxed);
    if (const std::optional<double> exact = exactPower(x, y))
        return *exact;
    // x^y is no halfway point now, so some precision decides it. The last
    // one is a bound on the time taken, never reached so far.
    constexpr int kMostBits = 4096;
    double nearest = 0;
    for (int precision = 128; precision <= kMostBits; precision *= 2) {
        const Approximation a = approximate(x, y, precision);
        nearest = a.value.widened(precision, false).rounded(a.scale);
        if (nearest == a.value.widened(precision, true).rounded(a.scale))
            break;
    }
    return nearest;
}

std::uint64_t detail::accuratePathRuns()
{
    return g_accurateRuns.load(std::memory_order_relaxed);
}

} // namespace kalvoran::calc
