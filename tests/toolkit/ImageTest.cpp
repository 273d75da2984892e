#include "toolkit/Image.h"
#include "toolkit/Controls.h"

#include "Ui.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

namespace {

// An image that logs what reaches it: its events and the pointer calls of derived controls.
class LoggingImage : public TImage {
public:
    using TImage::TImage;
    std::vector<std::string> log;

protected:
    static std::string Where(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    static const char* Name(TMouseButton b) {
        return b == TMouseButton::Left ? "L" : b == TMouseButton::Right ? "R" : "M";
    }
    void MouseDown(TMouseButton b, TShiftState, int x, int y) override {
        log.push_back(std::string("down ") + Name(b) + " " + Where(x, y));
    }
    void MouseMove(TShiftState, int x, int y) override { log.push_back("move " + Where(x, y)); }
    void MouseUp(TMouseButton b, TShiftState, int x, int y) override {
        log.push_back(std::string("up ") + Name(b) + " " + Where(x, y));
    }
};

struct PointerStep {
    enum Kind { Press, Release, DoubleClick, Move, PressBeside } kind;
    TPoint at; // in the image
    TMouseButton button;
    bool captured; // afterwards
};

struct PointerCase {
    const char* name;
    std::vector<PointerStep> steps;
    std::vector<std::string> log;
};

constexpr auto L = TMouseButton::Left;
constexpr auto R = TMouseButton::Right;
using P = PointerStep;

// The image control's own click rules, without any control built on it: the left press takes
// the capture, the release inside (right and bottom edges are outside) clicks before the up, a
// double click comes in place of the second press.
TEST(ImagePointer, ClickRules) {
    const std::vector<PointerCase> cases = {
        {"a move outside while pressed stays the image's; the release inside clicks",
         {{P::Press, {5, 5}, L, true},
          {P::Move, {85, -5}, L, true},
          {P::Release, {29, 28}, L, false}},
         {"down L 5,5", "move 85,-5", "click", "up L 29,28"}},
        {"release on the right edge",
         {{P::Press, {5, 5}, L, true}, {P::Release, {30, 10}, L, false}},
         {"down L 5,5", "up L 30,10"}},
        {"release on the bottom edge",
         {{P::Press, {5, 5}, L, true}, {P::Release, {10, 29}, L, false}},
         {"down L 5,5", "up L 10,29"}},
        {"release on the top-left corner",
         {{P::Press, {5, 5}, L, true}, {P::Release, {0, 0}, L, false}},
         {"down L 5,5", "click", "up L 0,0"}},
        {"double click",
         {{P::Press, {5, 5}, L, true},
          {P::Release, {5, 5}, L, false},
          {P::DoubleClick, {5, 5}, L, true},
          {P::Release, {5, 5}, L, false}},
         {"down L 5,5", "click", "up L 5,5", "dblclick", "down L 5,5", "up L 5,5"}},
        {"other buttons neither capture nor click",
         {{P::Press, {5, 5}, R, false}, {P::Release, {5, 5}, R, false}},
         {"down R 5,5", "up R 5,5"}},
        {"a press beside the image is not its", {{P::PressBeside, {70, 70}, L, false}}, {}},
    };
    for (const PointerCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPanel panel;
        panel.SetBounds(0, 0, 100, 100);
        auto* image = new LoggingImage(&panel);
        image->SetBounds(10, 10, 30, 29);
        image->OnClick = [image](TObject*) { image->log.push_back("click"); };
        image->OnDblClick = [image](TObject*) { image->log.push_back("dblclick"); };
        ASSERT_TRUE(ui::ShowAndWait(panel));
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const PointerStep& s = c.steps[i];
            switch (s.kind) {
            case P::Press:
                ui::PointerPress(*image, s.at, s.button);
                break;
            case P::Release:
                ui::PointerRelease(*image, s.at, s.button);
                break;
            case P::DoubleClick:
                ui::DoubleClick(*image, s.at, s.button);
                break;
            case P::Move:
                ui::PointerMove(*image, s.at);
                break;
            case P::PressBeside:
                ui::PointerPress(panel, {10 + s.at.X, 10 + s.at.Y}, s.button);
                ui::PointerRelease(panel, {10 + s.at.X, 10 + s.at.Y}, s.button);
                break;
            }
            EXPECT_EQ(GetCaptureControl() == image, s.captured) << "step " << i + 1;
        }
        EXPECT_EQ(image->log, c.log);
    }
}

} // namespace
