#pragma once

#include <string>

// The path of a test input: "data/NAME" is checked in (inputs the fuzzer found), any other name
// is a scene the build generates.
inline std::string Fixture(const std::string& name) {
    if (name.rfind("data/", 0) == 0)
        return std::string(RS_TEST_DATA) + "/" + name.substr(5);
    return std::string(RS_FIXTURES) + "/" + name;
}
