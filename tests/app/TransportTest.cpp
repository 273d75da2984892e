#include "FormFixture.h"
#include "RowName.h"

#include "controls/ImgBtn.h"

#include <QMouseEvent>
#include <QTest>
#include <vector>

namespace {

enum class Skin { Play, Pause };

struct Step {
    enum Kind { Tick, Click, DoubleClick, Drag, Key } kind;
    int arg = 0; // button (12, 13, 14), drag target, or key
    int shown;   // frame on screen after the step
    int current; // FCurrent
    bool paused;
    int position; // slider position
    Skin skin;    // what the play/pause button offers
};

struct TransportCase : NamedRow {
    int pausedAt; // -1: start playing after the first tick
    std::vector<Step> steps;
};

class Transport : public FormTest, public ::testing::WithParamInterface<TransportCase> {
protected:
    TImgBtn* Button(int n) {
        return n == 12 ? form->ImgBtn12 : n == 13 ? form->ImgBtn13 : form->ImgBtn14;
    }

    // A real click, or the platform's double click: press, release, double-click press, release.
    void ClickButton(int n, bool twice) {
        TImgBtn* b = Button(n);
        const QPoint p(10, 10);
        QTest::mousePress(QtWidget(b), Qt::LeftButton, {}, p);
        QTest::mouseRelease(QtWidget(b), Qt::LeftButton, {}, p);
        if (twice) {
            QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(p),
                            QtWidget(b)->mapToGlobal(QPointF(p)), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(QtWidget(b), &dbl);
            QTest::mouseRelease(QtWidget(b), Qt::LeftButton, {}, p);
        }
    }

    // The thumb's centre for a value, with the definition's thumb length of 20.
    int ThumbX(int value) const {
        const TTrackBar* t = form->TrackBar1;
        return 10 + value * (t->Width() - 20) / std::max(1, t->Max());
    }

    void DragTo(int value) {
        QWidget* t = QtWidget(form->TrackBar1);
        const int y = t->height() / 2;
        QTest::mousePress(t, Qt::LeftButton, {}, QPoint(ThumbX(form->TrackBar1->Position()), y));
        QTest::mouseMove(t, QPoint((ThumbX(form->TrackBar1->Position()) + ThumbX(value)) / 2, y));
        QTest::mouseMove(t, QPoint(ThumbX(value), y));
        QTest::mouseRelease(t, Qt::LeftButton, {}, QPoint(ThumbX(value), y));
    }

    Skin Offered() {
        TBitmap play;
        play.LoadFromResourceName("PLAY_UNPRESSED");
        TBitmap pause;
        pause.LoadFromResourceName("PAUSE_UNPRESSED");
        const QImage shown =
            form->ImgBtn12->Picture()->Image().convertToFormat(QImage::Format_RGB32);
        if (shown == play.Image().convertToFormat(QImage::Format_RGB32))
            return Skin::Play;
        EXPECT_EQ(shown, pause.Image().convertToFormat(QImage::Format_RGB32));
        return Skin::Pause;
    }
};

TEST_P(Transport, StepsPauseAndScrub) {
    const TransportCase& c = GetParam();
    Make();
    QtWidget(form.get())->show();
    Open(Fixture("raw24_10.avi"));
    ASSERT_EQ(form->FrameCount(), 10);
    Tick();
    if (c.pausedAt >= 0) {
        ClickButton(12, false);
        // Two moves from code put the current frame where the case starts.
        form->TrackBar1->SetPosition(c.pausedAt == 0 ? 1 : 0);
        form->TrackBar1->SetPosition(c.pausedAt);
        Tick();
        ASSERT_EQ(Shown(), c.pausedAt);
    }
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        switch (s.kind) {
        case Step::Tick:
            Tick();
            break;
        case Step::Click:
            ClickButton(s.arg, false);
            break;
        case Step::DoubleClick:
            ClickButton(s.arg, true);
            break;
        case Step::Drag:
            DragTo(s.arg);
            break;
        case Step::Key:
            QTest::keyClick(QtWidget(form->TrackBar1), static_cast<Qt::Key>(s.arg));
            break;
        }
        SCOPED_TRACE(testing::Message() << "step " << i);
        EXPECT_EQ(Shown(), s.shown);
        EXPECT_EQ(form->Current(), s.current);
        EXPECT_EQ(form->Paused(), s.paused);
        EXPECT_EQ(form->TrackBar1->Position(), s.position);
        EXPECT_EQ(Offered(), s.skin);
    }
}

using S = Step;
constexpr Skin Play = Skin::Play;
constexpr Skin Pause = Skin::Pause;

INSTANTIATE_TEST_SUITE_P(
    Table, Transport,
    ::testing::Values(
        // The last frame is reached by stepping; the slider's range ends one before it.
        TransportCase{"forwardPastTheSliderEnd",
                      8,
                      {S{S::Click, 13, 8, 9, true, 8, Play}, S{S::Tick, 0, 9, 9, true, 8, Play},
                       S{S::Tick, 0, 9, 9, true, 8, Play}, S{S::Click, 13, 9, 0, true, 8, Play},
                       S{S::Tick, 0, 0, 0, true, 0, Play}}},
        // Back from 0 wraps to the last frame for one tick; the clamped slider then moves the
        // current frame to 8 inside that tick.
        TransportCase{"backWraps",
                      0,
                      {S{S::Click, 14, 0, 9, true, 0, Play}, S{S::Tick, 0, 9, 8, true, 8, Play},
                       S{S::Tick, 0, 8, 8, true, 8, Play}}},
        TransportCase{"dragWhilePlayingPauses",
                      -1,
                      {S{S::Drag, 5, 0, 5, true, 5, Play}, S{S::Tick, 0, 5, 5, true, 5, Play},
                       S{S::Drag, 2, 5, 2, true, 2, Play}, S{S::Tick, 0, 2, 2, true, 2, Play}}},
        TransportCase{"doubleClickPlayPauseEndsWhereItBegan",
                      -1,
                      {S{S::DoubleClick, 12, 0, 1, false, 0, Pause},
                       S{S::Click, 12, 0, 1, true, 0, Play}, S{S::Tick, 0, 1, 1, true, 1, Play},
                       S{S::Click, 12, 1, 1, false, 1, Pause},
                       S{S::Tick, 0, 1, 2, false, 1, Pause}}},
        TransportCase{
            "doubleClickStepsTwice",
            3,
            {S{S::DoubleClick, 13, 3, 5, true, 3, Play}, S{S::Tick, 0, 5, 5, true, 5, Play},
             S{S::DoubleClick, 14, 5, 3, true, 5, Play}, S{S::Tick, 0, 3, 3, true, 3, Play}}},
        TransportCase{
            "keyOnSliderPauses",
            -1,
            {S{S::Key, Qt::Key_Right, 0, 0, true, 0, Play}, S{S::Tick, 0, 0, 0, true, 0, Play}}}),
    RowName());

TEST_F(FormTest, PlayPauseBeforeAnySceneFlipsStateAndSkinThenOpenPlays) {
    Make();
    form->ImgBtn12Click(form->ImgBtn12);
    EXPECT_TRUE(form->Paused());
    TBitmap play;
    play.LoadFromResourceName("play_unpressed");
    EXPECT_EQ(form->ImgBtn12->Picture()->Image().convertToFormat(QImage::Format_RGB32),
              play.Image().convertToFormat(QImage::Format_RGB32));
    Open(Fixture("raw24_10.avi"));
    EXPECT_FALSE(form->Paused());
    TBitmap pause;
    pause.LoadFromResourceName("pause_unpressed");
    EXPECT_EQ(form->ImgBtn12->Picture()->Image().convertToFormat(QImage::Format_RGB32),
              pause.Image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(QtWidget(form->ImgBtn12)->size(), QSize(30, 29));
}

} // namespace

namespace {

TEST_F(FormTest, SliderHoldsTheKeyboardFocusWhileTheWindowIsActive) {
    Make();
    ShowMain();
    QApplication::setActiveWindow(QtWidget(form.get()));
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(form.get())));
    EXPECT_EQ(QApplication::focusWidget(), QtWidget(form->TrackBar1));
    QTest::mouseClick(QtWidget(form->ImgBtn13), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(QtWidget(form->Label2)->parentWidget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(QApplication::focusWidget(), QtWidget(form->TrackBar1));
}

} // namespace
