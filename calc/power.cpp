#include "calc/power.h"
#include "calc/power_detail.h"
#include "calc/power_tables.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// Why the result is correctly rounded.
//
// The fast path computes x^y = exp(y log x) in double-double arithmetic as
// h + l with |h + l - x^y| <= eps h, eps = |t| (d + 2^-79) + 2^-74, where t
// is the computed y log x and d bounds the relative error of log x:
//   - log x: x = 2^e m, z = m r - 1 exact for a tabulated r, and
//     log x = e log 2 - log r + log1p(z), |z| <= 2^-8. The tables are within
//     2^-104, the sums exact or within 2^-100 of log x. The tail of log1p,
//     near z^3/3, is evaluated in doubles to 2^-51 of itself. With e = 0 it
//     is at most 2^-68.5 of log x (r = 1 next to 1, where log x is log1p(z)
//     itself): d = 2^-67. Otherwise |log x| >= 0.34, the tail's error is
//     below 2^-75 of it: d = 2^-73.
//   - t = y log x to 2^-103 of itself; its reduction by n log(2)/4096 adds
//     at most |t| 2^-82.
//   - exp of the reduced r, |r| <= 2^-13.4: degree-5 Taylor, truncation
//     2^-89, evaluated to 2^-77; the two table values and two products to
//     2^-100.
// scripts/make-power-tables checks the tables' part of this. If
// h + (l - eps h) and h + (l + eps h) round to the same double, no point
// halfway between two doubles lies within eps of x^y, and that double is the
// answer. Otherwise, or when x^y is not a normal double, the accurate path
// (power_accurate.cpp) decides.
//
// The accurate path first finds the x^y that are odd integers below 2^54
// times a power of two: every double and every halfway point is one. For any
// other x^y it repeats the computation in fixed point with 128, 256, ...
// bits until an interval of 2^-P around the result holds no halfway point
// (Ziv's strategy). x^y then is not a halfway point, so some precision
// decides it; none so far needed more than 128 bits.

namespace kalvoran::calc {

namespace {

namespace tables = power_tables;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A value as an unevaluated sum hi + lo.
using Pair = tables::Pair;

// a + b exactly, when |a| >= |b| or a is 0.
Pair fastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a + b exactly (Knuth).
Pair twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a b exactly, short of underflow. A fused multiply-add where the processor
// has one; elsewhere (x86-64 before FMA3, WebAssembly) Dekker's product,
// which gives the same pair without it.
Pair twoProduct(double a, double b)
{
    const double p = a * b;
#ifdef FP_FAST_FMA
    return {p, std::fma(a, b, -p)};
#else
    constexpr double kSplitter = 0x1p27 + 1; // Veltkamp: halves of 26 and 27 bits
    const double ca = kSplitter * a;
    const double aHi = ca - (ca - a);
    const double aLo = a - aHi;
    const double cb = kSplitter * b;
    const double bHi = cb - (cb - b);
    const double bLo = b - bHi;
    return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
#endif
}

// (a.hi + a.lo)(b.hi + b.lo) within 2^-102 of itself.
Pair multiply(Pair a, Pair b)
{
    const Pair p = twoProduct(a.hi, b.hi);
    return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

double fromBits(std::uint64_t bits)
{
    return std::bit_cast<double>(bits);
}

constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t kExponentOfOne = 1023;

// log x for a finite x > 0, and a bound on its relative error.
struct Logarithm
{
    Pair value;
    double relativeError;
};

Logarithm logarithm(double x)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    int e = static_cast<int>(bits >> 52) - static_cast<int>(kExponentOfOne);
    if ((bits >> 52) == 0) { // subnormal: 2^64 x is normal
        bits = std::bit_cast<std::uint64_t>(x * 0x1p64);
        e = static_cast<int>(bits >> 52) - static_cast<int>(kExponentOfOne) - 64;
    }
    const std::uint64_t fraction = bits & kFractionMask;
    const auto i = static_cast<std::size_t>(fraction >> 44);
    std::uint64_t exponentOfM = kExponentOfOne; // m in [1, 2)
    if (i >= tables::kHalveFrom) {
        --exponentOfM; // m in [0.70, 1)
        ++e;
    }
    const std::uint64_t mBits = fraction | (exponentOfM << 52);
    // m = mHi + mLo with 44 bits in mHi: each times r (9 bits) is exact, and
    // so is z, as the tables' script checks.
    const double m = fromBits(mBits);
    const double mHi = fromBits(mBits & ~std::uint64_t{0x1FF});
    const double mLo = m - mHi;
    const tables::LogRow &row = tables::kLog[i];
    const double z = (mHi * row.r - 1) + mLo * row.r;

    // log1p(z) = z - z^2/2 + z^3 (1/3 - z/4 + ... - z^7/10).
    const Pair z2 = twoProduct(z, z);
    const double tail = z2.hi * z
        * (1.0 / 3
            + z
                * (-1.0 / 4
                    + z
                        * (1.0 / 5
                            + z * (-1.0 / 6 + z * (1.0 / 7 + z * (-1.0 / 8 + z * (1.0 / 9 + z * (-1.0 / 10))))))));

    const auto ed = static_cast<double>(e);
    const Pair a = twoSum(ed * tables::kLn2.hi, row.minusLogR.hi); // ed * hi is exact
    const Pair b = twoSum(a.hi, z);
    const Pair c = twoSum(b.hi, -0.5 * z2.hi);
    const double lo = ((a.lo + b.lo) + c.lo) + ((ed * tables::kLn2.lo + row.minusLogR.lo) + (tail - 0.5 * z2.lo));
    return {fastTwoSum(c.hi, lo), e == 0 ? 0x1p-67 : 0x1p-73};
}

// exp(t.hi + t.lo) / 2^q as a pair near [1, 2), and q, for |t.hi| < 746.
struct Scaled
{
    Pair value;
    int q;
};

Scaled exponential(Pair t)
{
    // t = n log(2)/4096 + r, n = 4096 q + 64 j + k: the shift rounds
    // t 4096/log 2 to an integer in the low bits of its sum.
    constexpr double kShift = 0x1.8p52;
    const double shifted = t.hi * tables::k4096ByLn2 + kShift;
    const double nd = shifted - kShift; // exact
    const auto n = static_cast<std::int64_t>(nd);
    const double rHi = t.hi - nd * tables::kLn2By4096.hi; // exact: n * hi has 53 bits, Sterbenz
    const double rLo = t.lo - nd * tables::kLn2By4096.lo;
    const Pair r = twoSum(rHi, rLo);

    // exp(r) = 1 + r + r^2 (1/2 + r/6 + r^2/24 + r^3/120), |r| <= 2^-13.4.
    const double q = r.hi * r.hi * (0.5 + r.hi * (1.0 / 6 + r.hi * (1.0 / 24 + r.hi * (1.0 / 120))));
    const Pair one = fastTwoSum(1, r.hi);
    const Pair expR = fastTwoSum(one.hi, one.lo + (r.lo + (q + r.hi * r.lo)));

    const auto j = static_cast<std::size_t>((n >> 6) & 63);
    const auto k = static_cast<std::size_t>(n & 63);
    const Pair twoToTheFraction = multiply(tables::kExp2Coarse[j], tables::kExp2Fine[k]);
    return {multiply(twoToTheFraction, expR), static_cast<int>(n >> 12)};
}

// Where x^y, from the estimate t of y log x, is sure to round to infinity or
// to zero, and where it surely is a normal double. Between them the accurate
// path decides, subnormals and the edge of overflow included. The estimate is
// within 2^-46 of y log x there.
constexpr double kSurelyInfinite = 709.79; // log(2^1024) = 709.7827...
constexpr double kSurelyZero = -745.14;    // log(2^-1075) = -745.1332...
constexpr double kSurelyFinite = 709.7;    // below log(largest double)
constexpr double kSurelyNormal = -708.3;   // above log(2^-1022) = -708.396...

// y log x, and a bound on the relative error of exp of it.
struct Product
{
    Pair t;
    double relativeError;
};

std::optional<double> fastPowFrom(Product product)
{
    const Pair t = product.t;
    if (!(t.hi > kSurelyNormal && t.hi < kSurelyFinite))
        return std::nullopt;
    const auto [value, q] = exponential(t);
    const double error = value.hi * product.relativeError;
    const double low = value.hi + (value.lo - error);
    if (low != value.hi + (value.lo + error))
        return std::nullopt;
    // 2^q is a normal double, and so is the product: it is exact.
    return low * fromBits(static_cast<std::uint64_t>(q + static_cast<int>(kExponentOfOne)) << 52);
}

// y log x, with the estimate alone (lo = 0) where it is far out of range.
Product productWithLog(double x, double y)
{
    const auto [logX, logError] = logarithm(x);
    const double hi = y * logX.hi;
    if (!(std::fabs(hi) < 746)) // also keeps Dekker's product from overflowing
        return {{hi, 0}, 0};
    const Pair p = twoProduct(y, logX.hi);
    return {fastTwoSum(p.hi, p.lo + y * logX.lo), std::fabs(hi) * (logError + 0x1p-79) + 0x1p-74};
}

// x^y for a finite x > 0 and a finite y != 0.
double positivePow(double x, double y)
{
    if (x == 1)
        return 1;
    const Product product = productWithLog(x, y);
    if (product.t.hi > kSurelyInfinite)
        return kInfinity;
    if (product.t.hi < kSurelyZero)
        return 0;
    if (const std::optional<double> fast = fastPowFrom(product))
        return *fast;
    return detail::accuratePow(x, y);
}

bool isOddInteger(double y)
{
    return std::fabs(y) < 0x1p53 && std::trunc(y) == y && std::fmod(y, 2) != 0;
}

// Every case but a finite x > 0 with a finite y != 0, as std::pow has them.
double specialPow(double x, double y)
{
    if (y == 0 || x == 1)
        return 1;
    if (std::isnan(x) || std::isnan(y))
        return x + y;
    if (std::isinf(y)) {
        const double magnitude = std::fabs(x);
        if (magnitude == 1)
            return 1;
        return (magnitude < 1) == (y > 0) ? 0.0 : kInfinity;
    }
    const bool negative = std::signbit(x) && isOddInteger(y);
    double magnitude = 0;
    if (x == 0)
        magnitude = y > 0 ? 0.0 : kInfinity;
    else if (std::isinf(x))
        magnitude = y > 0 ? kInfinity : 0.0;
    else if (std::trunc(y) != y)
        return std::numeric_limits<double>::quiet_NaN(); // a negative base to a fraction
    else
        magnitude = positivePow(-x, y);
    return negative ? -magnitude : magnitude;
}

} // namespace

std::optional<double> detail::fastPow(double x, double y)
{
    return fastPowFrom(productWithLog(x, y));
}

double correctlyRoundedPow(double x, double y)
{
    if (x > 0 && x < kInfinity && std::isfinite(y) && y != 0)
        return positivePow(x, y);
    return specialPow(x, y);
}

} // namespace kalvoran::calc
