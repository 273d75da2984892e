#include "toolkit/Controls.h"

#include "Ui.h"

#include <gtest/gtest.h>

namespace {

// A label clicks on a left press on it and the left release inside it; its right and bottom
// edges are outside.
TEST(Label, ClicksOnALeftReleaseInside) {
    TPanel panel;
    panel.SetBounds(0, 0, 200, 60);
    auto* label = new TLabel(&panel);
    label->SetBounds(10, 10, 0, 0);
    label->SetFont({"Liberation Sans", 13, clBlack, true, false});
    label->SetCaption("\xc3\xb6"
                      "ffnen");
    int clicks = 0;
    label->OnClick = [&clicks](TObject*) { ++clicks; };
    ASSERT_TRUE(ui::ShowAndWait(panel));
    const int w = label->Width();
    const int h = label->Height();
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 10);
    constexpr auto L = TMouseButton::Left;
    struct Case {
        const char* name;
        bool pressOnLabel;
        TMouseButton button;
        TPoint release;
        int clicks;
    };
    for (const Case& c : {Case{"left, released on its last pixel", true, L, {w - 1, h - 1}, 1},
                          Case{"left, released on its first pixel", true, L, {0, 0}, 1},
                          Case{"left, released on its right edge", true, L, {w, 5}, 0},
                          Case{"left, released on its bottom edge", true, L, {5, h}, 0},
                          Case{"left, released far away", true, L, {-15, 80}, 0},
                          Case{"pressed beside it, released on it", false, L, {5, 5}, 0},
                          Case{"right", true, TMouseButton::Right, {5, 5}, 0}}) {
        SCOPED_TRACE(c.name);
        clicks = 0;
        if (c.pressOnLabel)
            ui::PointerPress(*label, {5, 5}, c.button);
        else
            ui::PointerPress(panel, {150, 50}, c.button);
        ui::PointerRelease(*label, c.release, c.button);
        EXPECT_EQ(clicks, c.clicks);
    }

    // A double click clicks once: its second press is not a press of a click.
    clicks = 0;
    ui::PointerClick(*label, {5, 5});
    ui::DoubleClick(*label, {5, 5});
    ui::PointerRelease(*label, {5, 5});
    EXPECT_EQ(clicks, 1);
}

} // namespace
