#pragma once

// The fixed-point numbers of the power's accurate path (power_accurate.cpp),
// in a header of their own so that the path's argument reads in one piece.

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace kalvoran::calc::detail {

using Limb = std::uint32_t;
constexpr int kLimbBits = 32;
constexpr int kIntegerLimbs = 3; // |values| below 2^95

// A signed fixed-point number in two's complement, limbs from the lowest; the
// last kIntegerLimbs hold the integer part. Operations that drop bits
// truncate the magnitude, by less than one unit of the last limb.
class Fixed
{
public:
    explicit Fixed(int fractionLimbs)
        : m_limbs(static_cast<std::size_t>(fractionLimbs + kIntegerLimbs))
        , m_fractionLimbs(fractionLimbs)
    { }

    static Fixed fromInteger(std::uint64_t v, int fractionLimbs)
    {
        Fixed f(fractionLimbs);
        f.addShifted(v, kLimbBits * fractionLimbs);
        return f;
    }

    // v exactly: its lowest bit lies within the fraction limbs. It does for
    // the doubles the accurate path converts, m near 1 and log m, which is 0 or above
    // 2^-55 in magnitude, so that its lowest bit is above 2^-108.
    static Fixed fromDouble(double v, int fractionLimbs)
    {
        int exponent = 0;
        const double fraction = std::frexp(std::fabs(v), &exponent);
        const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
        const int offset = exponent - 53 + kLimbBits * fractionLimbs; // the significand's lowest bit
        assert(v == 0 || offset >= 0);
        Fixed f(fractionLimbs);
        f.addShifted(significand, offset);
        return v < 0 ? -f : f;
    }

    [[nodiscard]] bool negative() const { return (m_limbs.back() >> (kLimbBits - 1)) != 0; }
    [[nodiscard]] bool isZero() const
    {
        for (const Limb limb : m_limbs) {
            if (limb != 0)
                return false;
        }
        return true;
    }

    Fixed operator-() const
    {
        Fixed result(m_fractionLimbs);
        std::uint64_t carry = 1;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            carry += static_cast<Limb>(~m_limbs[i]);
            result.m_limbs[i] = static_cast<Limb>(carry);
            carry >>= kLimbBits;
        }
        return result;
    }

    Fixed &operator+=(const Fixed &other)
    {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            carry += std::uint64_t{m_limbs[i]} + other.m_limbs[i];
            m_limbs[i] = static_cast<Limb>(carry);
            carry >>= kLimbBits;
        }
        return *this;
    }
    Fixed &operator-=(const Fixed &other) { return *this += -other; }
    friend Fixed operator+(Fixed a, const Fixed &b) { return a += b; }
    friend Fixed operator-(Fixed a, const Fixed &b) { return a -= b; }

    friend Fixed operator*(const Fixed &a, const Fixed &b)
    {
        const Fixed x = a.magnitude();
        const Fixed y = b.magnitude();
        const std::size_t n = x.m_limbs.size();
        std::vector<Limb> product(2 * n);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; j < n; ++j) {
                carry += std::uint64_t{x.m_limbs[i]} * y.m_limbs[j] + product[i + j];
                product[i + j] = static_cast<Limb>(carry);
                carry >>= kLimbBits;
            }
            product[i + n] = static_cast<Limb>(carry);
        }
        Fixed result(a.m_fractionLimbs);
        for (std::size_t i = 0; i < n; ++i)
            result.m_limbs[i] = product[i + static_cast<std::size_t>(a.m_fractionLimbs)];
        return a.negative() != b.negative() ? -result : result;
    }

    // This times a small factor, exactly.
    Fixed &multiply(Limb factor)
    {
        const bool wasNegative = negative();
        Fixed result = magnitude();
        std::uint64_t carry = 0;
        for (Limb &limb : result.m_limbs) {
            carry += std::uint64_t{limb} * factor;
            limb = static_cast<Limb>(carry);
            carry >>= kLimbBits;
        }
        return *this = wasNegative ? -result : result;
    }

    Fixed &divide(Limb divisor)
    {
        const bool wasNegative = negative();
        Fixed result = magnitude();
        std::uint64_t remainder = 0;
        for (std::size_t i = result.m_limbs.size(); i-- > 0;) {
            const std::uint64_t current = (remainder << kLimbBits) | result.m_limbs[i];
            result.m_limbs[i] = static_cast<Limb>(current / divisor);
            remainder = current % divisor;
        }
        return *this = wasNegative ? -result : result;
    }

    // This times 2^bits.
    Fixed &shift(int bits)
    {
        const bool wasNegative = negative();
        const Fixed from = magnitude();
        Fixed result(m_fractionLimbs);
        const auto size = static_cast<int>(m_limbs.size());
        const int limbs = bits >= 0 ? bits / kLimbBits : -((-bits + kLimbBits - 1) / kLimbBits);
        const int rest = bits - limbs * kLimbBits; // in [0, 32)
        for (int i = 0; i < size; ++i) {
            const int source = i - limbs;
            const std::uint64_t pair
                = (source >= 0 && source < size ? std::uint64_t{from.limb(source)} << kLimbBits : 0)
                | (source >= 1 && source <= size ? from.limb(source - 1) : 0);
            result.m_limbs[static_cast<std::size_t>(i)] = static_cast<Limb>(pair >> (kLimbBits - rest));
        }
        return *this = wasNegative ? -result : result;
    }

    // Near this value; for choosing a reduction only.
    [[nodiscard]] double estimate() const
    {
        const Fixed m = magnitude();
        double sum = 0;
        for (std::size_t i = 0; i < m.m_limbs.size(); ++i)
            sum += std::ldexp(m.m_limbs[i], kLimbBits * (static_cast<int>(i) - m_fractionLimbs));
        return negative() ? -sum : sum;
    }

    // This (> 0) times 2^scale, rounded once to the nearest double, ties to
    // even, subnormals and overflow included.
    [[nodiscard]] double rounded(std::int64_t scale) const
    {
        const int totalBits = static_cast<int>(m_limbs.size()) * kLimbBits;
        int top = totalBits - 1;
        while (top >= 0 && !bit(top)) // never all zeros: x^y > 0
            --top;
        // The value lies in [2^exponent, 2^(exponent + 1)).
        const std::int64_t exponent = top + scale - std::int64_t{kLimbBits} * m_fractionLimbs;
        if (exponent > 1023)
            return std::numeric_limits<double>::infinity();
        const std::int64_t kept = exponent >= -1022 ? 53 : exponent + 1075; // bits that the double holds
        if (kept < 0)
            return 0; // below 2^-1075, half the smallest subnormal
        const int lowest = top - static_cast<int>(kept) + 1;
        std::uint64_t significand = 0;
        for (int i = top; i >= lowest; --i)
            significand = (significand << 1) | (i >= 0 && bit(i) ? 1 : 0);
        const bool half = lowest >= 1 && bit(lowest - 1);
        bool beyond = false;
        for (int i = lowest - 2; i >= 0 && !beyond; --i)
            beyond = bit(i);
        if (half && (beyond || (significand & 1) != 0))
            ++significand;
        return std::ldexp(static_cast<double>(significand), static_cast<int>(exponent - kept + 1));
    }

    // This plus or minus 2^-P of itself and one unit: an interval around a
    // positive value with a relative error below 2^-P.
    [[nodiscard]] Fixed widened(int precision, bool up) const
    {
        Fixed margin = *this;
        margin.shift(-precision);
        margin += unit();
        return up ? *this + margin : *this - margin;
    }

    [[nodiscard]] Fixed unit() const
    {
        Fixed u(m_fractionLimbs);
        u.m_limbs[0] = 1;
        return u;
    }
    [[nodiscard]] Fixed one() const
    {
        Fixed u(m_fractionLimbs);
        u.m_limbs[static_cast<std::size_t>(m_fractionLimbs)] = 1;
        return u;
    }

private:
    [[nodiscard]] Fixed magnitude() const { return negative() ? -*this : *this; }
    [[nodiscard]] Limb limb(int i) const { return m_limbs[static_cast<std::size_t>(i)]; }
    [[nodiscard]] bool bit(int i) const
    {
        return ((m_limbs[static_cast<std::size_t>(i / kLimbBits)] >> (i % kLimbBits)) & 1) != 0;
    }

    void addShifted(std::uint64_t value, int offset)
    {
        for (int i = 0; i < 64; ++i) {
            if (((value >> i) & 1) != 0) {
                const int at = offset + i;
                m_limbs[static_cast<std::size_t>(at / kLimbBits)] |= Limb{1} << (at % kLimbBits);
            }
        }
    }

    std::vector<Limb> m_limbs;
    int m_fractionLimbs;
};

} // namespace kalvoran::calc::detail
