#include "FormFixture.h"
#include "RowName.h"

#include <vector>

namespace {

struct ClockCase : NamedRow {
    const char* scene;
    int pausedAt;              // -1: playing
    std::vector<int> shown;    // frame on screen after each tick
    std::vector<int> position; // slider position after each tick
    int max;                   // slider maximum throughout
};

class Clock : public FormTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(Clock, ShowsFramesAndMovesTheSlider) {
    const ClockCase& c = GetParam();
    Make();
    Open(Fixture(c.scene));
    ASSERT_TRUE(errors.empty());
    if (c.pausedAt >= 0) {
        form->ImgBtn12Click(form->ImgBtn12);
        form->TrackBar1->SetPosition(c.pausedAt); // the clock's own kind of change: no pause
        ASSERT_EQ(form->Current(), c.pausedAt);
    }
    std::vector<int> shown, position;
    for (std::size_t i = 0; i < c.shown.size(); ++i) {
        Tick();
        shown.push_back(Shown());
        position.push_back(form->TrackBar1->Position());
        EXPECT_EQ(form->TrackBar1->Max(), c.max) << "tick " << i;
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(position, c.position);
}

INSTANTIATE_TEST_SUITE_P(Table, Clock,
                         ::testing::Values(
                             // Frames 0 ... N-2 loop; the last frame is never shown while playing;
                             // the slider stays on the wrap tick.
                             ClockCase{"ten",
                                       kScenes.Ten,
                                       -1,
                                       {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1},
                                       {0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 1, 2, 3, 4, 5, 6, 7, 8, 8, 1},
                                       8},
                             ClockCase{"tenPaused", kScenes.Ten, 3, {3, 3, 3}, {3, 3, 3}, 8},
                             ClockCase{"one", kScenes.One, -1, {0, 0, 0}, {0, 0, 0}, 10},
                             ClockCase{"onePaused", kScenes.One, 0, {0, 0}, {0, 0}, 10},
                             ClockCase{"two", kScenes.Two, -1, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
                             ClockCase{"twoPaused", kScenes.Two, 0, {0, 0}, {0, 0}, 0}),
                         RowName());

TEST_F(FormTest, BeforeAnySceneTicksEndAtOnce) {
    Make();
    Tick(5);
    EXPECT_EQ(form->LastIndex(), -1);
    EXPECT_EQ(form->TrackBar1->Max(), 10);
    EXPECT_EQ(form->Current(), 0);
    EXPECT_TRUE(form->Image3->Visible());
    EXPECT_TRUE(form->Image3->Picture()->Empty());
}

TEST_F(FormTest, ThumbBeyondTheNewMaximumIsPulledBackByTheTick) {
    Make();
    Open(Fixture(kScenes.Ten));
    form->TrackBar1->SetPosition(10); // still the definition's range: 0 ... 10
    ASSERT_EQ(form->Current(), 10);
    Tick(); // sets the maximum 8: the change event inside the tick takes the clamped position
    EXPECT_EQ(form->TrackBar1->Position(), 8);
    EXPECT_EQ(Shown(), 8);
}

TEST_F(FormTest, TickSharesTheFramesPixels) {
    Make();
    Open(Fixture(kScenes.Ten));
    Tick(3);
    EXPECT_TRUE(ui::SharePixels(*form->Image3->Picture()->Bitmap(), *form->Frame(2)));
}

TEST_F(FormTest, LargeFramesAreClippedSmallOnesLeaveWhite) {
    Make();
    Open(Fixture(kScenes.Large));
    ASSERT_TRUE(errors.empty());
    Tick();
    ui::TPixels shot = Rendered();
    ASSERT_EQ(shot.Width, 512);
    ASSERT_EQ(shot.Height, 512);
    // Top-left corner of the frame at the top-left of the area, the rest cut off.
    EXPECT_EQ(shot.At(300, 300), ui::PixelAt(*form->Frame(0), 300, 300));
    EXPECT_EQ(shot.At(511, 511), ui::PixelAt(*form->Frame(0), 511, 511));

    Open(Fixture(kScenes.Ten));
    Tick();
    shot = Rendered();
    EXPECT_EQ(shot.At(32, 24), ui::PixelAt(*form->Frame(0), 32, 24));
    EXPECT_EQ(shot.At(64, 24), clWhite);
    EXPECT_EQ(shot.At(32, 48), clWhite);
}

} // namespace
