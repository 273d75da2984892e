#include "FormFixture.h"
#include "RowName.h"

#include "controls/ImgBtn.h"

#include <vector>

namespace {

enum class Skin { Play, Pause };

struct Step {
    // A button pressed by Space or Enter with the focus on it, or by a screen reader's action.
    enum Kind { Tick, Click, DoubleClick, Drag, Key, Space, Enter, ScreenReader } kind;
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
        TImgBtn& b = *Button(n);
        const TPoint p{10, 10};
        ui::PointerPress(b, p);
        ui::PointerRelease(b, p);
        if (twice) {
            ui::DoubleClick(b, p);
            ui::PointerRelease(b, p);
        }
    }

    // The thumb's centre for a value, with the definition's thumb length of 20.
    int ThumbX(int value) const {
        const TTrackBar* t = form->TrackBar1;
        return 10 + value * (t->Width() - 20) / std::max(1, t->Max());
    }

    // Tab brings the focus there from the slider, as a user gets it there.
    void KeyOn(int n, ui::TKey key) {
        ASSERT_TRUE(ui::ActivateAndWait(*form));
        form->TrackBar1->SetFocus();
        for (int tabs = 14 - n + 1; tabs > 0; --tabs)
            ui::KeyToFocus(*form, ui::TKey::Tab);
        ASSERT_TRUE(ui::HasFocus(*Button(n)));
        ui::KeyToFocus(*form, key);
    }

    void DragTo(int value) {
        TTrackBar& t = *form->TrackBar1;
        const int y = t.Height() / 2;
        ui::PointerPress(t, {ThumbX(t.Position()), y});
        ui::PointerMove(t, {(ThumbX(t.Position()) + ThumbX(value)) / 2, y});
        ui::PointerMove(t, {ThumbX(value), y});
        ui::PointerRelease(t, {ThumbX(value), y});
    }

    Skin Offered() {
        TBitmap play;
        play.LoadFromResourceName("PLAY_UNPRESSED");
        TBitmap pause;
        pause.LoadFromResourceName("PAUSE_UNPRESSED");
        const ui::TPixels shown = ui::Pixels(*form->ImgBtn12->Picture()->Bitmap());
        if (shown == ui::Pixels(play))
            return Skin::Play;
        EXPECT_EQ(shown, ui::Pixels(pause));
        return Skin::Pause;
    }
};

TEST_P(Transport, StepsPauseAndScrub) {
    const TransportCase& c = GetParam();
    Make();
    ui::ShowAndWait(*form);
    Open(Fixture(kScenes.Ten));
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
            ui::Key(*form->TrackBar1, static_cast<ui::TKey>(s.arg));
            break;
        case Step::Space:
            KeyOn(s.arg, ui::TKey::Space);
            break;
        case Step::Enter:
            KeyOn(s.arg, ui::TKey::Return);
            break;
        case Step::ScreenReader:
            ASSERT_TRUE(ui::AccessiblePress(*Button(s.arg)));
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
        TransportCase{"keyOnSliderPauses",
                      -1,
                      {S{S::Key, int(ui::TKey::Right), 0, 0, true, 0, Play},
                       S{S::Tick, 0, 0, 0, true, 0, Play}}},
        // The keyboard and a screen reader press exactly as a click does.
        TransportCase{
            "keysAndScreenReaderPressLikeClicks",
            -1,
            {S{S::Space, 12, 0, 1, true, 0, Play}, S{S::Enter, 13, 0, 2, true, 0, Play},
             S{S::Tick, 0, 2, 2, true, 2, Play}, S{S::ScreenReader, 14, 2, 1, true, 2, Play},
             S{S::Tick, 0, 1, 1, true, 1, Play}, S{S::ScreenReader, 12, 1, 1, false, 1, Pause},
             S{S::Tick, 0, 1, 2, false, 1, Pause}}}),
    RowName());

TEST_F(FormTest, PlayPauseBeforeAnySceneFlipsStateAndSkinThenOpenPlays) {
    Make();
    form->ImgBtn12Click(form->ImgBtn12);
    EXPECT_TRUE(form->Paused());
    TBitmap play;
    play.LoadFromResourceName("play_unpressed");
    EXPECT_EQ(ui::Pixels(*form->ImgBtn12->Picture()->Bitmap()), ui::Pixels(play));
    Open(Fixture(kScenes.Ten));
    EXPECT_FALSE(form->Paused());
    TBitmap pause;
    pause.LoadFromResourceName("pause_unpressed");
    EXPECT_EQ(ui::Pixels(*form->ImgBtn12->Picture()->Bitmap()), ui::Pixels(pause));
    EXPECT_EQ(form->ImgBtn12->Width(), 30);
    EXPECT_EQ(form->ImgBtn12->Height(), 29);
}

} // namespace

namespace {

// The slider has the focus when the window is activated, and a click leaves the focus where it
// is, so that the slider keeps its keys after a click on a button.
TEST_F(FormTest, SliderHasTheKeyboardFocusWhenTheWindowIsActivatedAndClicksLeaveIt) {
    Make();
    ShowMain();
    ASSERT_TRUE(ui::ActivateAndWait(*form));
    EXPECT_TRUE(ui::HasFocus(*form->TrackBar1));
    ui::PointerClick(*form->ImgBtn13, {10, 10});
    ui::PointerClick(*form->Panel1, {5, 5});
    EXPECT_TRUE(ui::HasFocus(*form->TrackBar1));
    ui::KeyToFocus(*form, ui::TKey::Tab);
    ui::PointerClick(*form->ImgBtn12, {10, 10});
    EXPECT_TRUE(ui::HasFocus(*form->ImgBtn14));
}

// Tab goes from the slider through the buttons left to right (back, forward, play/pause), then
// "öffnen" and "schließen", and back to the slider; Shift+Tab the other way.
TEST_F(FormTest, TabWalksTheControlsInTheOrderTheyAreSeenAndWraps) {
    Make();
    ShowMain();
    ASSERT_TRUE(ui::ActivateAndWait(*form));
    ASSERT_TRUE(ui::HasFocus(*form->TrackBar1));
    TForm1& f = *form;
    const std::vector<TControl*> order{f.ImgBtn14, f.ImgBtn13, f.ImgBtn12,
                                       f.Label2,   f.Label1,   f.TrackBar1};
    for (std::size_t i = 0; i < order.size(); ++i) {
        ui::KeyToFocus(f, ui::TKey::Tab);
        EXPECT_TRUE(ui::HasFocus(*order[i])) << "Tab " << i + 1;
    }
    for (std::size_t i = order.size() - 1; i > 0; --i) {
        ui::KeyToFocus(f, ui::TKey::ShiftTab);
        EXPECT_TRUE(ui::HasFocus(*order[i - 1])) << "Shift+Tab to " << i;
    }
    ui::KeyToFocus(f, ui::TKey::ShiftTab);
    EXPECT_TRUE(ui::HasFocus(*f.TrackBar1));
    EXPECT_FALSE(f.Paused()) << "moving the focus presses nothing";
}

// What a screen reader finds, read through the system's accessibility interface: every control
// by role and name; the play/pause button named for what it does now; the picture named by the
// frame it shows, counted from 1, when it is read.
TEST_F(FormTest, AScreenReaderFindsEveryControlByRoleAndName) {
    Make();
    ShowMain();
    EXPECT_EQ(ui::Accessible(*form->Image3).Name, "Kein Bild");
    Open(Fixture(kScenes.Ten));
    Tick();
    using R = TAccessibleRole;
    struct Row {
        TControl* control;
        TAccessibleRole role;
        const char* name;
        bool pressable;
    };
    for (const Row& r :
         {Row{form->ImgBtn14, R::Button, "Bild zurück", true},
          Row{form->ImgBtn13, R::Button, "Bild vor", true},
          Row{form->ImgBtn12, R::Button, "Pause", true}, Row{form->Label2, R::Link, "öffnen", true},
          Row{form->Label1, R::Link, "schließen", true},
          Row{form->TrackBar1, R::Slider, "Bildposition", false},
          Row{form->Image3, R::Picture, "Bild 1 von 10", false}}) {
        SCOPED_TRACE(r.name);
        const ui::TAccessible read = ui::Accessible(*r.control);
        EXPECT_EQ(int(read.Role), int(r.role));
        EXPECT_EQ(read.Name, r.name);
        EXPECT_EQ(read.Pressable, r.pressable);
        EXPECT_EQ(read.Focusable, r.role != R::Picture);
    }
    ASSERT_TRUE(ui::AccessiblePress(*form->ImgBtn12));
    EXPECT_EQ(ui::Accessible(*form->ImgBtn12).Name, "Wiedergabe");
    Tick(3);
    EXPECT_EQ(ui::Accessible(*form->Image3).Name, "Bild 2 von 10");
    EXPECT_EQ(ui::AccessibleValue(*form->TrackBar1), "1");
    ASSERT_TRUE(ui::AccessiblePress(*form->ImgBtn13));
    Tick();
    EXPECT_EQ(ui::Accessible(*form->Image3).Name, "Bild 3 von 10");
    ASSERT_TRUE(ui::AccessiblePress(*form->ImgBtn12));
    EXPECT_EQ(ui::Accessible(*form->ImgBtn12).Name, "Pause");
}

} // namespace
