#include "toolkit/Image.h"
#include "toolkit/Controls.h"

#include "Ui.h"

#include <array>
#include <gtest/gtest.h>

namespace {

// Every pixel different, so a shifted or stretched drawing shows.
ui::TPixels Pattern(int w, int h) {
    ui::TPixels pattern{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pattern.Data.push_back(std::uint32_t(x * 4) << 16 | std::uint32_t(y * 4) << 8 | 200);
    return pattern;
}

std::array<int, 4> Bounds(const TControl& control) {
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

// A red parent with the image control at (10, 10), 40 x 40.
struct PaintFixture : ::testing::Test {
    TPanel parent;
    TImage* image = new TImage(&parent);
    const TColor background = 0xFF0000;

    PaintFixture() {
        parent.SetBounds(0, 0, 120, 120);
        parent.SetColor(background);
        parent.SetBevelOuter(TBevelCut::None);
        image->SetBounds(10, 10, 40, 40);
    }

    void Show(TImage& control, const ui::TPixels& picture) {
        ui::SetPixels(*control.Picture()->Bitmap(), picture);
    }

    TColor Shown(int x, int y) { return ui::Rendered(parent).At(x, y); }

    // Compares the control's area pixel by pixel against the picture drawn 1:1, clipped.
    void ExpectDrawnOneToOne(const ui::TPixels& picture) {
        const ui::TPixels shot = ui::Rendered(parent);
        for (int y = 0; y < image->Height(); ++y) {
            for (int x = 0; x < image->Width(); ++x) {
                const TColor expected =
                    x < picture.Width && y < picture.Height ? picture.At(x, y) : background;
                ASSERT_EQ(shot.At(10 + x, 10 + y), expected) << "at " << x << "," << y;
            }
        }
    }
};

} // namespace

TEST_F(PaintFixture, SmallerPictureLeavesTheParentColourShowing) {
    const ui::TPixels picture = Pattern(30, 29);
    Show(*image, picture);
    ExpectDrawnOneToOne(picture);
}

TEST_F(PaintFixture, LargerPictureIsClippedNotStretched) {
    const ui::TPixels picture = Pattern(60, 50);
    Show(*image, picture);
    EXPECT_EQ(Bounds(*image), (std::array{10, 10, 40, 40}));
    ExpectDrawnOneToOne(picture);
    EXPECT_EQ(Shown(55, 55), background);
}

TEST_F(PaintFixture, AutoSizeTakesTheSizeOfANonEmptyPictureOnly) {
    image->SetAutoSize(true);
    EXPECT_EQ(Bounds(*image), (std::array{10, 10, 40, 40})); // empty picture: size kept

    const ui::TPixels picture = Pattern(60, 50);
    Show(*image, picture);
    EXPECT_EQ(Bounds(*image), (std::array{10, 10, 60, 50}));
    ExpectDrawnOneToOne(picture);

    image->Picture()->Assign(static_cast<const TPicture*>(nullptr));
    EXPECT_EQ(Bounds(*image), (std::array{10, 10, 60, 50}));
    EXPECT_EQ(Shown(20, 20), background);

    // Switching it on later sizes at once.
    TImage other(&parent);
    other.SetBounds(0, 60, 5, 5);
    Show(other, Pattern(7, 9));
    EXPECT_EQ(Bounds(other), (std::array{0, 60, 5, 5}));
    other.SetAutoSize(true);
    EXPECT_EQ(Bounds(other), (std::array{0, 60, 7, 9}));
}
