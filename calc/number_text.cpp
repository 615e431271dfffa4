#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
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

// The characters of a number as they are found: in place for any length a
// person types, on the heap for a longer, pasted text.
class NumberChars
{
public:
    NumberChars &operator+=(char c)
    {
        if (m_size < m_inPlace.size()) [[likely]]
            m_inPlace[m_size++] = c;
        else
            spill(c);
        return *this;
    }
    [[nodiscard]] std::string_view view() const
    {
        return m_size <= m_inPlace.size() ? std::string_view(m_inPlace.data(), m_size) : std::string_view(*m_long);
    }

private:
    void spill(char c)
    {
        if (m_size == m_inPlace.size())
            m_long.emplace(m_inPlace.data(), m_size);
        *m_long += c;
        ++m_size;
    }

    std::array<char, 64> m_inPlace; // NOLINT: read only up to m_size
    // Made only when needed: an empty string alone costs a typed number's
    // reading a third more time.
    std::optional<std::string> m_long;
    std::size_t m_size = 0;
};

// Whether a number that from_chars found out of range is too large for a
// double rather than too small: from_chars leaves its value unset and does
// not say which (LWG 3081). The text is digits with at most one full stop,
// some of them non-zero, then perhaps "e", a minus and digits.
bool isBeyondLargest(std::string_view number)
{
    const std::size_t e = std::min(number.find('e'), number.size());
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    // The power of ten of the first significant digit, the exponent aside;
    // its magnitude is below the text's length.
    const auto lead = static_cast<std::int64_t>(point) - static_cast<std::int64_t>(first) - (first < point ? 1 : 0);
    if (e == number.size())
        return lead > 0;
    const std::string_view digits = number.substr(e + 1);
    std::int64_t exponent = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc())
        return digits.front() != '-'; // an exponent of 19 digits or more outweighs any lead
    return exponent > -lead;
}

} // namespace

double readLeadingNumber(std::string_view text)
{
    BlankSkippingCursor in(text);
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }

    // The number's characters without its sign and blanks, with E for D, in
    // the form from_chars reads: it rounds correctly however many there are.
    NumberChars number;
    auto takeDigits = [&] {
        for (; isDigit(in.peek()); in.advance())
            number += in.peek();
    };
    takeDigits();
    if (in.peek() == '.') {
        number += '.';
        in.advance();
        takeDigits();
    }
    if (number.view().empty() || number.view() == ".")
        return 0.0;
    const char letter = in.peek();
    if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
        in.advance();
        const char sign = in.peek();
        if (sign == '+' || sign == '-')
            in.advance();
        if (isDigit(in.peek())) { // otherwise "1E" and "1E+" read as 1
            number += 'e';
            if (sign == '-')
                number += '-';
            takeDigits();
        }
    }

    double magnitude = 0.0;
    const std::string_view chars = number.view();
    if (std::from_chars(chars.data(), chars.data() + chars.size(), magnitude).ec == std::errc::result_out_of_range)
        magnitude = isBeyondLargest(chars) ? std::numeric_limits<double>::infinity() : 0.0;
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
