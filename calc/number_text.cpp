#include "calc/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace kalvoran::calc {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDroppedBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// Hands out the characters of a text with the dropped blanks skipped.
class BlankSkippingCursor
{
public:
    explicit BlankSkippingCursor(std::string_view text)
        : m_text(text)
    {
        skipBlanks();
    }

    [[nodiscard]] bool atEnd() const { return m_pos >= m_text.size(); }
    [[nodiscard]] char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void advance()
    {
        ++m_pos;
        skipBlanks();
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isDroppedBlank(m_text[m_pos]))
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// More significant digits than a double can ever need for correct rounding
// (an exact binary fraction has at most 767); the rest only matter through
// whether any of them is non-zero.
constexpr std::size_t kMaxDigits = 780;
// Decimal exponents beyond these bounds are far outside a double's range;
// saturating there keeps the arithmetic on huge exponents exact.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;
// Decimal exponent of the first significant digit beyond which a value
// cannot be a finite double (DBL_MAX is about 1.8E+308) or rounds to zero
// (the smallest subnormal is about 4.9E-324).
constexpr std::int64_t kLargestExponent = 308;
constexpr std::int64_t kSmallestExponent = -325;

// Integers of up to 15 digits and powers of ten up to 1E22 are exact doubles.
constexpr std::size_t kFastPathDigits = 15;
constexpr std::int64_t kExactPowersOfTen = 22;
constexpr std::array<double, kExactPowersOfTen + 1> kPowersOfTen{
    1e0,
    1e1,
    1e2,
    1e3,
    1e4,
    1e5,
    1e6,
    1e7,
    1e8,
    1e9,
    1e10,
    1e11,
    1e12,
    1e13,
    1e14,
    1e15,
    1e16,
    1e17,
    1e18,
    1e19,
    1e20,
    1e21,
    1e22,
};

} // namespace

double readLeadingNumber(std::string_view text)
{
    BlankSkippingCursor in(text);

    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }

    // The significant digits, without leading zeros, and the value read so far
    // as 0.<digits> x 10^pointExponent.
    std::array<char, kMaxDigits + 1> digits; // NOLINT: filled up to digitCount
    std::size_t digitCount = 0;
    std::uint64_t mantissa = 0; // the first kFastPathDigits digits as an integer
    bool droppedNonZero = false;
    std::int64_t pointExponent = 0;
    bool sawMantissaDigit = false;

    auto takeDigit = [&](char c, bool beforePoint) {
        sawMantissaDigit = true;
        if (digitCount == 0 && c == '0') {
            if (!beforePoint && pointExponent > -kExponentCap)
                --pointExponent;
            return;
        }
        if (beforePoint && pointExponent < kExponentCap)
            ++pointExponent;
        if (digitCount < kFastPathDigits)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        if (digitCount < kMaxDigits)
            digits[digitCount++] = c;
        else if (c != '0')
            droppedNonZero = true;
    };

    while (isDigit(in.peek())) {
        takeDigit(in.peek(), true);
        in.advance();
    }
    if (in.peek() == '.') {
        in.advance();
        while (isDigit(in.peek())) {
            takeDigit(in.peek(), false);
            in.advance();
        }
    }
    if (!sawMantissaDigit)
        return 0.0;

    std::int64_t exponent = 0;
    const char letter = in.peek();
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
        in.advance();
        bool negativeExponent = false;
        if (in.peek() == '+' || in.peek() == '-') {
            negativeExponent = in.peek() == '-';
            in.advance();
        }
        while (isDigit(in.peek())) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (in.peek() - '0');
            in.advance();
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    const double zero = negative ? -0.0 : 0.0;
    if (digitCount == 0)
        return zero;

    const std::int64_t firstDigitExponent = pointExponent + exponent - 1;
    if (firstDigitExponent > kLargestExponent)
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    if (firstDigitExponent < kSmallestExponent)
        return zero;

    // Exact fast path: at most 15 digits and a power of ten that a double
    // holds exactly, so one multiplication or division rounds correctly.
    const auto scale = pointExponent + exponent - static_cast<std::int64_t>(digitCount);
    if (digitCount <= kFastPathDigits && scale >= -kExactPowersOfTen && scale <= kExactPowersOfTen) {
        const auto m = static_cast<double>(mantissa);
        const double power = kPowersOfTen[static_cast<std::size_t>(scale < 0 ? -scale : scale)];
        const double magnitude = scale < 0 ? m / power : m * power;
        return negative ? -magnitude : magnitude;
    }

    if (droppedNonZero)
        digits[digitCount++] = '1'; // sticky digit: keeps the rounding of the dropped tail

    // digits x 10^(pointExponent + exponent - digitCount), in the form from_chars reads.
    std::array<char, kMaxDigits + 32> buffer; // NOLINT: written before it is read
    char *out = buffer.data();
    for (std::size_t i = 0; i < digitCount; ++i)
        *out++ = digits[i];
    *out++ = 'e';
    const auto fullScale = pointExponent + exponent - static_cast<std::int64_t>(digitCount);
    out = std::to_chars(out, buffer.data() + buffer.size(), fullScale).ptr;

    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(buffer.data(), out, magnitude);
    if (error == std::errc::result_out_of_range)
        magnitude = firstDigitExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kPlainLowestExponent = -4;
constexpr int kPlainHighestExponent = 14;

// A decimal value as its significant digits and the power of ten of the first.
struct Decimal
{
    std::array<char, kSignificantDigits> digits{};
    int exponent = 0;
};

// Splits to_chars' "d.ddd...e+XX" into digits and exponent.
Decimal splitScientific(std::string_view text)
{
    Decimal result;
    std::size_t n = 0;
    std::size_t pos = 0;
    for (; pos < text.size() && text[pos] != 'e'; ++pos) {
        if (isDigit(text[pos]) && n < result.digits.size())
            result.digits[n++] = text[pos];
    }
    const char *exponentBegin = text.data() + pos + 1;
    if (*exponentBegin == '+')
        ++exponentBegin;
    std::from_chars(exponentBegin, text.data() + text.size(), result.exponent);
    return result;
}

// True when |value| lies exactly halfway between two 15-digit decimals and
// to_chars' round-half-even took the lower one, which is the 15-digit prefix
// of the exact 16-digit expansion.
bool isTieRoundedDown(double magnitude, const Decimal &rounded)
{
    // An exact tie is k x 10^m with a 16-digit k ending in 5 (so k is odd).
    // Below 1: k / 10^n is a binary fraction only when 5^n divides k, so
    // n <= 22 and value x 2^22 is a whole number. Above: k x 10 = 2 x 5k needs
    // 5k < 2^53, so value < 2^54; k x 100 = 4 x 25k would need k < 2^53 / 25,
    // fewer than 16 digits, so no tie lies at or above 2^54. Most results fail
    // this cheap test.
    const double scaled = std::ldexp(magnitude, 22);
    if (magnitude >= 0x1p54 || std::floor(scaled) != scaled)
        return false;

    std::array<char, 32> sixteen{};
    const auto r = std::to_chars(
        sixteen.data(), sixteen.data() + sixteen.size(), magnitude, std::chars_format::scientific, kSignificantDigits);
    const Decimal truncated = splitScientific({sixteen.data(), static_cast<std::size_t>(r.ptr - sixteen.data())});
    // "d." and fifteen more digits: the sixteenth digit stands at index 16.
    if (sixteen[16] != '5' || truncated.digits != rounded.digits || truncated.exponent != rounded.exponent)
        return false;
    // The exact expansion has at most 767 significant digits.
    std::array<char, 800> exact{};
    const auto e
        = std::to_chars(exact.data(), exact.data() + exact.size(), magnitude, std::chars_format::scientific, 780);
    const std::string_view all(exact.data(), static_cast<std::size_t>(e.ptr - exact.data()));
    const std::string_view tail = all.substr(17, all.find('e') - 17);
    return tail.find_first_not_of('0') == std::string_view::npos;
}

// A tie that to_chars rounded down always ends in an even digit (it rounds
// to even), so rounding it up never carries into the digits before it.
void roundUpLastDigit(Decimal &d)
{
    ++d.digits.back();
}

} // namespace

NumberText formatNumber(double value)
{
    NumberText out;
    if (std::isnan(value))
        return out.append("nan");
    if (std::isinf(value))
        return out.append(value < 0 ? "-inf" : "inf");
    if (value == 0.0)
        return out.append("0");

    const double magnitude = std::fabs(value);
    std::array<char, 32> scientific{};
    const auto r = std::to_chars(scientific.data(), scientific.data() + scientific.size(), magnitude,
        std::chars_format::scientific, kSignificantDigits - 1);
    Decimal d = splitScientific({scientific.data(), static_cast<std::size_t>(r.ptr - scientific.data())});
    // to_chars rounds ties to even; a person rounds them away from zero.
    if (isTieRoundedDown(magnitude, d))
        roundUpLastDigit(d);

    std::size_t count = d.digits.size();
    while (count > 1 && d.digits[count - 1] == '0')
        --count;
    const std::string_view digits(d.digits.data(), count);

    if (value < 0)
        out.append("-");
    if (d.exponent >= kPlainLowestExponent && d.exponent <= kPlainHighestExponent) {
        if (d.exponent < 0) {
            out.append("0.");
            out.appendZeros(static_cast<std::size_t>(-d.exponent - 1));
            out.append(digits);
        } else {
            const auto integerDigits = static_cast<std::size_t>(d.exponent) + 1;
            if (count <= integerDigits) {
                out.append(digits);
                out.appendZeros(integerDigits - count);
            } else {
                out.append(digits.substr(0, integerDigits));
                out.append(".");
                out.append(digits.substr(integerDigits));
            }
        }
        return out;
    }

    out.append(digits.substr(0, 1));
    if (count > 1) {
        out.append(".");
        out.append(digits.substr(1));
    }
    out.append(d.exponent < 0 ? "E-" : "E+");
    const int absExponent = d.exponent < 0 ? -d.exponent : d.exponent;
    if (absExponent < 10)
        out.append("0");
    std::array<char, 8> exponentText{};
    const auto e = std::to_chars(exponentText.data(), exponentText.data() + exponentText.size(), absExponent);
    out.append({exponentText.data(), static_cast<std::size_t>(e.ptr - exponentText.data())});
    return out;
}

} // namespace kalvoran::calc
