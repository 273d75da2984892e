#pragma once

#include "Ui.h"

#include <gtest/gtest.h>

#include <string>

// Where a back end is known to answer a check otherwise, the check says so where it stands: which
// back end, and why. Every check not marked runs alike on every back end.
struct TDifference {
    ui::TBackEnd BackEnd = ui::TBackEnd::Qt;
    const char* Reason = nullptr;

    // Whether the back end running now is the one that differs.
    bool Here() const { return Reason != nullptr && BackEnd == ui::BackEnd(); }
};

// A difference of the Win32 back end (under Wine, whose common controls and window messages these
// are).
inline TDifference OnWin32(const char* reason) {
    return {ui::TBackEnd::Win32, reason};
}

// The rows of a table that answer otherwise here: the test ends as skipped naming them, with what
// they gave, unless another row failed.
class TDifferentRows {
public:
    void Note(const std::string& row, const TDifference& difference,
              const std::string& answer = {}) {
        FRows += "\n  " + row + (answer.empty() ? "" : " (here " + answer + ")") + ": " +
                 difference.Reason;
    }
    bool Empty() const { return FRows.empty(); }
    const std::string& Rows() const { return FRows; }

private:
    std::string FRows;
};

// Ends the test as skipped when rows answered otherwise.
#define RS_SKIP_DIFFERENT_ROWS(rows)                                                               \
    do {                                                                                           \
        if (!(rows).Empty())                                                                       \
            GTEST_SKIP() << "the other rows ran; otherwise on this system:" << (rows).Rows();      \
    } while (false)
