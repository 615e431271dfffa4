#pragma once

#include <ostream>
#include <string>

namespace kalvoran::testing {

// A row of a table-driven suite, known by a short name: the case's name in
// GoogleTest and ctest (stable, so that `ctest -R` and `--rerun-failed` find
// it) and what a failure message prints for the row, through operator<<.
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
