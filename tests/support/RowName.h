#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

// A row of a parameterised table that prints as its name, in failure messages and (through
// RowName) in test listings, instead of as a dump of its bytes. Row structs derive from it and
// give the name first: `Case{"name", ...}`.
struct NamedRow {
    const char* name;

    friend std::ostream& operator<<(std::ostream& os, const NamedRow& row) {
        return os << row.name;
    }
};

// The last argument of INSTANTIATE_TEST_SUITE_P: a row is named by how it prints, in the
// characters test names allow.
struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        std::string name = ::testing::PrintToString(info.param);
        for (char& ch : name)
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    }
};
