#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace kalvoran::testing {

// Names a parameterised case after its row's own name, every character that a
// test name cannot hold made '_': ctest then lists readable names that stay
// the same from build to build.
template<typename Row> std::string rowName(const ::testing::TestParamInfo<Row> &row)
{
    std::string name = row.param.name;
    for (char &c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0)
            c = '_';
    }
    return name;
}

} // namespace kalvoran::testing
