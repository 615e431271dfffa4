// Differential fuzzing of the leading-number rule: readLeadingNumber against a
// slow, plainly written second reading of the same rule (a regular expression
// for the grammar, the C library's strtod for the correctly rounded value).

#include "calc/number_text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

namespace {

double slowLeadingNumber(const std::string &text)
{
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;
    }
    static const std::regex number(R"(^[+-]?(\d+\.?\d*|\.\d+)([EeDd][+-]?\d+)?)");
    std::smatch match;
    if (!std::regex_search(compact, match, number))
        return 0.0;
    std::string prefix = match.str(0);
    for (char &c : prefix) {
        if (c == 'D' || c == 'd')
            c = 'E';
    }
    // The fuzzer runs in the "C" locale, where strtod's decimal sign is the
    // full stop; it rounds correctly and gives +/-HUGE_VAL beyond the range.
    return std::strtod(prefix.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const double fast = kalvoran::calc::readLeadingNumber(text);
    const double slow = slowLeadingNumber(text);
    if (std::memcmp(&fast, &slow, sizeof fast) != 0) {
        std::fprintf(stderr, "readLeadingNumber(\"%s\") = %.17g, expected %.17g\n", text.c_str(), fast, slow);
        std::abort();
    }
    return 0;
}
