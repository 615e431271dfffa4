// Fuzzing of the number-formatting rule over arbitrary doubles: every finite
// double is written in at most 22 characters, in plain notation exactly for
// decimal exponents -4 to 14, and reads back as the value rounded to 15
// significant digits (ties away from zero).

#include "calc/number_text.h"
#include "calc/reference_rounding.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

namespace {

[[noreturn]] void fail(const char *what, double value, const std::string &text)
{
    std::fprintf(stderr, "%s: %.17g written \"%s\"\n", what, value, text.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size != sizeof(double))
        return -1;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return -1;
    const std::string text = kalvoran::calc::formatNumber(value).str();

    // -1.23456789012346E-308 is the longest text there is.
    if (text.size() > 22)
        fail("too long", value, text);

    static const std::regex plain(R"(^-?(0|[1-9]\d*)(\.\d*[1-9])?$)");
    static const std::regex scientific(R"(^-?[1-9](\.\d*[1-9])?E[+-]\d{2,3}$)");

    if (value == 0) {
        if (text != "0")
            fail("zero", value, text);
        return 0;
    }
    // The value rounded on its exact decimal expansion: an exact tie is then
    // known for one, and the text must lie on its far side from zero.
    const auto expected = kalvoran::testing::roundToFifteenDigits(std::fabs(value));
    if (kalvoran::calc::readLeadingNumber(text) != expected.value(value < 0))
        fail("does not read back as the value rounded to 15 digits", value, text);
    const bool isPlain = std::regex_match(text, plain);
    if (!isPlain && !std::regex_match(text, scientific))
        fail("malformed", value, text);
    // The decimal exponent of the first digit shown.
    const std::string digits = text.substr(text[0] == '-' ? 1 : 0);
    int shown = 0;
    if (!isPlain)
        shown = std::atoi(digits.c_str() + digits.find('E') + 1);
    else if (digits.rfind("0.", 0) == 0)
        shown = -static_cast<int>(digits.find_first_not_of('0', 2) - 1);
    else
        shown = static_cast<int>(std::min(digits.find('.'), digits.size())) - 1;
    if (isPlain != (shown >= -4 && shown <= 14))
        fail("wrong notation", value, text);
    if (shown != expected.exponent)
        fail("wrong exponent", value, text);
    return 0;
}
