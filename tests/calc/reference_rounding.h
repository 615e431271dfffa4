#pragma once

#include <array>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kalvoran::testing {

// A finite double rounded to 15 significant digits, ties away from zero,
// worked out digit by digit on its exact decimal expansion: slow, and
// independent of how the formatter gets there. For tests and fuzzers.
struct FifteenDigits
{
    std::string digits; // fifteen digits, the first not zero
    int exponent = 0;   // decimal exponent of the first digit

    // The double nearest to the rounded decimal, with the given sign; infinity
    // from 1.79769313486232E+308 up, where no finite double is near.
    [[nodiscard]] double value(bool negative) const
    {
        const std::string text = (negative ? "-" : "") + digits + "e" + std::to_string(exponent - 14);
        return std::strtod(text.c_str(), nullptr); // the C locale: a full stop is never needed here
    }
};

inline FifteenDigits roundToFifteenDigits(double magnitude)
{
    // A finite double is a binary fraction of at most 767 significant decimal
    // digits, so 781 digits show it exactly.
    std::array<char, 800> exact{};
    const char *end
        = std::to_chars(exact.data(), exact.data() + exact.size(), magnitude, std::chars_format::scientific, 780).ptr;
    const std::string_view text(exact.data(), static_cast<std::size_t>(end - exact.data()));
    const std::size_t e = text.find('e');

    std::string all(text.substr(0, e));
    std::erase(all, '.');
    FifteenDigits rounded;
    const std::string_view exponent = text.substr(text[e + 1] == '+' ? e + 2 : e + 1);
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), rounded.exponent);
    rounded.digits = all.substr(0, 15);
    if (all[15] >= '5') { // half or more of the last digit: away from zero
        std::size_t i = 15;
        while (i > 0 && rounded.digits[i - 1] == '9')
            rounded.digits[--i] = '0';
        if (i == 0) { // 999999999999999.5 and the like become the next power of ten
            rounded.digits[0] = '1';
            ++rounded.exponent;
        } else {
            ++rounded.digits[i - 1];
        }
    }
    return rounded;
}

} // namespace kalvoran::testing
