#pragma once

#include "Ui.h"

#include <gtest/gtest.h>

#include <string>

// Rows of a table inside one test that the back end is known to answer otherwise: they are left
// out (or checked against the back end's own answer), and the test ends as skipped naming them,
// unless another row failed.
class TRowSkips {
public:
    // Why this back end answers the row otherwise, or nullptr.
    static const char* Reason(const std::string& row) { return ui::KnownDifference(Name(row)); }
    // What it answers instead, where known, or nullptr.
    static const char* Answer(const std::string& row) { return ui::KnownAnswer(Name(row)); }
    // True when the row is to be left out.
    bool Skip(const std::string& row) {
        const char* why = Reason(row);
        if (why != nullptr)
            Note(row, why);
        return why != nullptr;
    }
    // A row left out, with what it gave here.
    void Note(const std::string& row, const char* why, const std::string& answer = {}) {
        FSkipped += "\n  " + row + (answer.empty() ? "" : " (here " + answer + ")") + ": " + why;
    }
    bool Empty() const { return FSkipped.empty(); }
    const std::string& Rows() const { return FSkipped; }

private:
    static std::string Name(const std::string& row) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string(test->test_suite_name()) + "." + test->name() + "/" + row;
    }

    std::string FSkipped;
};

// Ends the test as skipped when rows were left out.
#define RS_SKIP_LEFT_OUT_ROWS(skips)                                                               \
    do {                                                                                           \
        if (!(skips).Empty())                                                                      \
            GTEST_SKIP() << "the other rows ran; left out on this system:" << (skips).Rows();      \
    } while (false)
