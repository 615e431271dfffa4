// Whole "Calculate Now" runs of both unit systems with arbitrary texts in all
// twelve input fields. Whatever is typed, a run ends either with all seven
// results shown and each one readable as a finite number, or with the results
// frame hidden and five results empty.

#include "calc/calculation.h"
#include "calc/number_text.h"
#include "support/recording_screen.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 12> kInputs{
    "D", "L", "C", "Q", "hight", "RP", "Tf", "Ef", "E1f", "BVf", "GVf", "SCf"};
constexpr std::array<std::string_view, 7> kResults{"ELF", "EL", "FL", "elevationdrop", "PD", "pumppressure", "V"};
constexpr std::array<std::string_view, 5> kCleared{"ELF", "EL", "FL", "PD", "V"};

[[noreturn]] void fail(const char *what, std::string_view field)
{
    std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(field.size()), field.data());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return -1;
    // First byte: the unit system; the rest: the twelve texts, split at '|'.
    const bool british = (data[0] & 1) != 0;
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    kalvoran::testing::RecordingScreen screen;
    screen.recordEvents(false);
    std::size_t start = 0;
    for (const std::string_view field : kInputs) {
        const std::size_t end = std::min(rest.find('|', start), rest.size());
        screen.type(field, rest.substr(std::min(start, rest.size()), end - std::min(start, rest.size())));
        start = end + 1;
    }

    if (british)
        kalvoran::calc::calculateBritish(screen);
    else
        kalvoran::calc::calculateSi(screen);

    if (screen.resultsVisible()) {
        for (const std::string_view field : kResults) {
            const std::string &text = screen.text(std::string(field));
            if (text.empty())
                fail("result missing", field);
            if (!std::isfinite(kalvoran::calc::readLeadingNumber(text)))
                fail("result not readable", field);
        }
    } else {
        for (const std::string_view field : kCleared) {
            if (!screen.text(std::string(field)).empty())
                fail("result left after a refused run", field);
        }
    }
    return 0;
}
