#pragma once

#include <ostream>
#include <string>

namespace kalvoran::testing {

// A row of a table-driven suite, known by a short name. The name becomes the
// case's name in GoogleTest and ctest (stable from build to build, so that
// `ctest -R` and `--rerun-failed` find it) and is what a failure message
// prints for the row. Rows derive from it; the printer finds operator<< through
// the base class.
struct NamedCase
{
    const char *name;
};

inline std::ostream &operator<<(std::ostream &os, const NamedCase &row)
{
    return os << row.name;
}

// The name generator for INSTANTIATE_TEST_SUITE_P: letters, digits and
// underscores only, as GoogleTest requires.
inline constexpr auto kCaseName = [](const auto &info) { return std::string(info.param.name); };

} // namespace kalvoran::testing
