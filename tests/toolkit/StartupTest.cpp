// The scale at which the main window fits the screen, the same rule for every back end.

#include "toolkit/Startup.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct ScaleCase {
    const char* name;
    double current;
    int availableWidth; // device pixels
    int availableHeight;
    double fitting;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << c.name;
}

class FittingScaleRule : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(FittingScaleRule, FitsTheMinimumWindowIntoTheScreen) {
    const ScaleCase& c = GetParam();
    const double got = FittingScale(c.current, c.availableWidth, c.availableHeight, 560, 660);
    EXPECT_DOUBLE_EQ(got, c.fitting);
    if (got > 1.0) { // whatever it chose fits
        EXPECT_LE(560 * got, c.availableWidth);
        EXPECT_LE(660 * got, c.availableHeight);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FittingScaleRule,
    ::testing::Values(ScaleCase{"fitsAsIs", 1.0, 1920, 1080, 1.0},
                      ScaleCase{"double4k", 2.0, 3840, 2160, 2.0},
                      ScaleCase{"doubleFullHd", 2.0, 1920, 1080, 1.5},
                      ScaleCase{"panelTakesRows", 1.75, 1920, 1040, 1.5},
                      ScaleCase{"tripleQhd", 3.0, 2560, 1440, 2.0},
                      ScaleCase{"portrait", 2.0, 1080, 1920, 1.75},
                      ScaleCase{"exactFit", 2.0, 1120, 1320, 2.0},
                      // At 1 the window keeps its laid-out size even on a smaller screen.
                      ScaleCase{"smallScreen", 1.5, 800, 600, 1.0},
                      ScaleCase{"smallScreenUnscaled", 1.0, 800, 600, 1.0},
                      ScaleCase{"belowOneKept", 0.5, 200, 200, 0.5}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
