#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kalvoran::calc {

// Reads the number at the start of a field's text, the way every input and
// every read-back result is turned into a number.
//
// Spaces, tabs and line feeds are dropped wherever they stand; the rest is
// read from its first character as an optional sign, digits with at most one
// full stop, and an optional exponent (E or D, either case, an optional sign
// and digits). Reading stops at the first character that cannot continue the
// number; a text that does not start with a number reads as 0. The full stop
// is the only decimal sign, whatever the locale.
//
// Never fails. A number too large for a double reads as +/- infinity (the
// caller's cue that the text is out of range); one too small reads as zero.
// Runs in time linear in the length of the text.
[[nodiscard]] double readLeadingNumber(std::string_view text);

// The text of one formatted number, held without a heap allocation. The
// longest, such as -1.23456789012346E-308, has 22 characters.
class NumberText
{
public:
    static constexpr std::size_t kCapacity = 24;

    [[nodiscard]] std::string_view view() const { return {m_chars.data(), m_size}; }
    [[nodiscard]] std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); } // NOLINT: reads like the text it holds

    NumberText &append(std::string_view text)
    {
        for (const char c : text)
            push(c);
        return *this;
    }
    NumberText &appendZeros(std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            push('0');
        return *this;
    }

private:
    void push(char c)
    {
        if (m_size < kCapacity)
            m_chars[m_size++] = c;
    }

    std::array<char, kCapacity> m_chars{};
    std::size_t m_size = 0;
};

// Writes a result the way every result field shows it: rounded to 15
// significant digits (ties away from zero), trailing zeros dropped, plain
// notation for decimal exponents -4 to 14 and otherwise d.dddE+XX, "0" for
// either zero. Locale-independent. Infinities and NaN are never shown to a
// user; they are written "inf" and "nan" only so that the function is total.
[[nodiscard]] NumberText formatNumber(double value);

} // namespace kalvoran::calc
