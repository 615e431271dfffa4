#pragma once

#include <QJsonArray>

#include <string_view>

namespace kalvoran::testing {

// A table shared with the page's browser tests, from tests/data/<file>.json,
// built into the test program so that it runs anywhere (under Wine too): the
// array under `key`. Stops the test program when the table does not parse.
[[nodiscard]] QJsonArray sharedTable(std::string_view file, std::string_view key);

// A string that lives as long as the test program, for a row's name.
[[nodiscard]] const char *keep(const QString &text);

} // namespace kalvoran::testing
