#include "FormFixture.h"
#include "RowName.h"

#include "toolkit/qt/Peer.h"

#include <QEvent>
#include <QWidget>

#include <map>
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
    ASSERT_TRUE(errors.isEmpty());
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
                                       "raw24_10.avi",
                                       -1,
                                       {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1},
                                       {0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 1, 2, 3, 4, 5, 6, 7, 8, 8, 1},
                                       8},
                             ClockCase{"tenPaused", "raw24_10.avi", 3, {3, 3, 3}, {3, 3, 3}, 8},
                             ClockCase{"one", "raw24_1.avi", -1, {0, 0, 0}, {0, 0, 0}, 10},
                             ClockCase{"onePaused", "raw24_1.avi", 0, {0, 0}, {0, 0}, 10},
                             ClockCase{"two", "raw24_2.avi", -1, {0, 0, 0, 0}, {0, 0, 0, 0}, 0},
                             ClockCase{"twoPaused", "raw24_2.avi", 0, {0, 0}, {0, 0}, 0}),
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
    Open(Fixture("raw24_10.avi"));
    form->TrackBar1->SetPosition(10); // still the definition's range: 0 ... 10
    ASSERT_EQ(form->Current(), 10);
    Tick(); // sets the maximum 8: the change event inside the tick takes the clamped position
    EXPECT_EQ(form->TrackBar1->Position(), 8);
    EXPECT_EQ(Shown(), 8);
}

TEST_F(FormTest, TickSharesTheFramesPixels) {
    Make();
    Open(Fixture("raw24_10.avi"));
    Tick(3);
    EXPECT_TRUE(ui::SharePixels(*form->Image3->Picture()->Bitmap(), *form->Frame(2)));
}

TEST_F(FormTest, LargeFramesAreClippedSmallOnesLeaveWhite) {
    Make();
    Open(Fixture("large_600x520.avi"));
    ASSERT_TRUE(errors.isEmpty());
    Tick();
    ui::TPixels shot = Rendered();
    ASSERT_EQ(shot.Width, 512);
    ASSERT_EQ(shot.Height, 512);
    // Top-left corner of the frame at the top-left of the area, the rest cut off.
    EXPECT_EQ(shot.At(300, 300), ui::PixelAt(*form->Frame(0), 300, 300));
    EXPECT_EQ(shot.At(511, 511), ui::PixelAt(*form->Frame(0), 511, 511));

    Open(Fixture("raw24_10.avi"));
    Tick();
    shot = Rendered();
    EXPECT_EQ(shot.At(32, 24), ui::PixelAt(*form->Frame(0), 32, 24));
    EXPECT_EQ(shot.At(64, 24), clWhite);
    EXPECT_EQ(shot.At(32, 48), clWhite);
}

// Counts the paints of some widgets and the paint passes of their window.
struct PaintCounter : QObject {
    std::map<QObject*, int> paints;
    int passes = 0;
    QObject* window;
    PaintCounter(QWidget* top, std::initializer_list<QWidget*> watched) : window(top) {
        top->installEventFilter(this);
        for (QWidget* w : watched) {
            paints[w] = 0;
            w->installEventFilter(this);
        }
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && paints.count(o))
            ++paints[o];
        if (e->type() == QEvent::UpdateRequest && o == window)
            ++passes;
        return false;
    }
};

// A tick only schedules its paints; the event loop it runs from (the program's, a box's or the
// loader's yield) paints the picture and the slider in one pass, and a frame smaller than the
// area paints the uncovered strip itself, so the panel under it is not painted.
TEST_F(FormTest, TickPaintsPictureAndSliderInOnePass) {
    Make();
    Open(Fixture("raw24_10.avi")); // 64 x 48
    ASSERT_TRUE(ui::ShowAndWait(*form));
    Tick(2);
    app.ProcessMessages();
    QWidget* image = QtWidget(form->Image3);
    QWidget* slider = QtWidget(form->TrackBar1);
    QWidget* panel = QtWidget(form->Panel3);
    PaintCounter counter(QtWidget(form.get()), {image, slider, panel});
    Tick(); // frame 2, slider 1 -> 2
    EXPECT_EQ(counter.paints[image], 0);
    app.ProcessMessages();
    EXPECT_EQ(counter.paints[image], 1);
    EXPECT_EQ(counter.paints[slider], 1);
    EXPECT_EQ(counter.paints[panel], 0);
    EXPECT_EQ(counter.passes, 1);
    EXPECT_EQ(Shown(), 2);
    const auto shot = Rendered();
    EXPECT_EQ(shot.At(64, 24), clWhite);
    EXPECT_EQ(shot.At(500, 500), clWhite);
}

} // namespace
