#include "toolkit/qt/TrackBar.h"
#include "toolkit/qt/Peer.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// What one OnChange saw.
struct Seen {
    int position;
    int max;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << "{" << seen.position << ", max " << seen.max << "}";
}

class Bar : public TTrackBar {
public:
    using TTrackBar::TTrackBar;

    TTrackBarWidget* Widget() const { return static_cast<TTrackBarWidget*>(QtWidget(this)); }
    QRect Handle() const { return Widget()->HandleRect(); }
};

// A slider at the size the main window gives it, recording every change event; React runs inside
// the handler, after the record.
struct Rig {
    Bar bar;
    std::vector<Seen> seen;
    std::function<void(Rig&)> React;

    explicit Rig(int position, int lineSize = 0, int pageSize = 0, int max = 10) {
        bar.SetBounds(12, 19, 389, 22);
        bar.SetLineSize(lineSize);
        bar.SetPageSize(pageSize);
        bar.SetMax(max);
        bar.SetPosition(position);
        bar.Widget()->show();
        bar.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, static_cast<TObject*>(&bar));
            seen.push_back({bar.Position(), bar.Max()});
            if (React)
                React(*this);
        };
    }

    std::vector<int> Positions() const {
        std::vector<int> positions;
        for (const Seen& s : seen)
            positions.push_back(s.position);
        return positions;
    }

    // Centre of the thumb when it stands at value.
    QPoint At(int value) {
        auto handler = std::exchange(bar.OnChange, nullptr);
        const int old = bar.Position();
        bar.SetPosition(value);
        const QPoint centre = bar.Handle().center();
        bar.SetPosition(old);
        bar.OnChange = std::move(handler);
        return centre;
    }

    void Press(QPoint at) { QTest::mousePress(bar.Widget(), Qt::LeftButton, {}, at); }
    void Move(QPoint at) { QTest::mouseMove(bar.Widget(), at); }
    void Release(QPoint at) { QTest::mouseRelease(bar.Widget(), Qt::LeftButton, {}, at); }
    void Click(QPoint at) { QTest::mouseClick(bar.Widget(), Qt::LeftButton, {}, at); }
    void Key(Qt::Key key) { QTest::keyClick(bar.Widget(), key); }

    void AutoRepeat(Qt::Key key) {
        // What X11 delivers while a key is held: a release and a press, both marked auto-repeat.
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(bar.Widget(), &release);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(bar.Widget(), &press);
    }

    void Wheel(int delta) {
        const QPointF pos = bar.Widget()->rect().center();
        QWheelEvent event(pos, bar.Widget()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar.Widget(), &event);
    }

    // One tick of the auto-repeat of a click held in the channel, without waiting for it.
    void RepeatTick() {
        auto* timer = bar.Widget()->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(timer, nullptr);
        if (!timer->isActive())
            return;
        QTimerEvent event(timer->timerId());
        QApplication::sendEvent(timer, &event);
    }

    // A mouse event past QTest's own button bookkeeping; true if the slider accepted it.
    bool Send(QEvent::Type type, Qt::MouseButton button, QPoint at) {
        const bool move = type == QEvent::MouseMove;
        const bool release = type == QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, bar.Widget()->mapToGlobal(at), move ? Qt::NoButton : button,
                          release ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(bar.Widget(), &event);
        return event.isAccepted();
    }

    // The thumb Qt draws must stand where the stored position says.
    void ExpectShown() const {
        EXPECT_EQ(bar.Widget()->value(), bar.Position());
        EXPECT_EQ(bar.Widget()->sliderPosition(), bar.Position());
        EXPECT_EQ(bar.Widget()->maximum(), bar.Max());
        EXPECT_EQ(bar.Widget()->minimum(), bar.Min());
    }
};

TEST(TrackBar, StartsAtZeroInTheRangeZeroToTen) {
    Bar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Widget()->minimum(), 0);
    EXPECT_EQ(bar.Widget()->maximum(), 10);
    EXPECT_EQ(bar.Widget()->value(), 0);
}

TEST(TrackBar, ThumbTakesTheLengthItIsGiven) {
    Rig rig(0);
    for (int length : {14, 20}) {
        rig.bar.SetThumbLength(length);
        EXPECT_EQ(rig.bar.Handle().height(), length);
    }
}

struct CodeCase {
    const char* name;
    int start;
    std::function<void(TTrackBar&)> action;
    int position;
    int max;
    std::vector<Seen> seen;
};

TEST(TrackBar, PositionAndMaximumSetFromCode) {
    const std::vector<CodeCase> cases = {
        {"position inside the range", 3, [](TTrackBar& b) { b.SetPosition(7); }, 7, 10, {{7, 10}}},
        {"same position", 4, [](TTrackBar& b) { b.SetPosition(4); }, 4, 10, {}},
        {"below the minimum clamps", 4, [](TTrackBar& b) { b.SetPosition(-3); }, 0, 10, {{0, 10}}},
        {"below the minimum, already there", 0, [](TTrackBar& b) { b.SetPosition(-3); }, 0, 10, {}},
        {"above the maximum clamps",
         4,
         [](TTrackBar& b) { b.SetPosition(99); },
         10,
         10,
         {{10, 10}}},
        {"above the maximum, already there",
         10,
         [](TTrackBar& b) { b.SetPosition(11); },
         10,
         10,
         {}},
        {"INT_MIN", 4, [](TTrackBar& b) { b.SetPosition(INT_MIN); }, 0, 10, {{0, 10}}},
        {"INT_MAX", 4, [](TTrackBar& b) { b.SetPosition(INT_MAX); }, 10, 10, {{10, 10}}},
        {"maximum below the minimum is ignored", 5, [](TTrackBar& b) { b.SetMax(-1); }, 5, 10, {}},
        {"maximum INT_MIN is ignored", 10, [](TTrackBar& b) { b.SetMax(INT_MIN); }, 10, 10, {}},
        {"maximum below the position clamps it",
         7,
         [](TTrackBar& b) { b.SetMax(4); },
         4,
         4,
         {{4, 4}}},
        {"maximum above the position", 2, [](TTrackBar& b) { b.SetMax(4); }, 2, 4, {}},
        {"maximum equal to the position", 4, [](TTrackBar& b) { b.SetMax(4); }, 4, 4, {}},
        {"maximum 0 pulls the position to 0", 3, [](TTrackBar& b) { b.SetMax(0); }, 0, 0, {{0, 0}}},
        {"maximum 0 with the position at 0", 0, [](TTrackBar& b) { b.SetMax(0); }, 0, 0, {}},
        {"maximum grows", 10, [](TTrackBar& b) { b.SetMax(20); }, 10, 20, {}},
        {"position clamps into a new maximum",
         0,
         [](TTrackBar& b) {
             b.SetMax(8);
             b.SetPosition(9);
         },
         8,
         8,
         {{8, 8}}},
        {"ignored maximum keeps the old range",
         0,
         [](TTrackBar& b) {
             b.SetMax(-2);
             b.SetPosition(9);
         },
         9,
         10,
         {{9, 10}}},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.start);
        c.action(rig.bar);
        EXPECT_EQ(rig.bar.Position(), c.position);
        EXPECT_EQ(rig.bar.Max(), c.max);
        EXPECT_EQ(rig.seen, c.seen);
        rig.ExpectShown();
    }
}

struct GestureCase {
    const char* name;
    int start;
    int lineSize;
    int pageSize;
    int max;
    std::function<void(Rig&)> gesture;
    std::vector<int> seen; // Position() inside each change event, in order
};

void RunGestures(const std::vector<GestureCase>& cases, std::function<void(Rig&)> react = nullptr) {
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.start, c.lineSize, c.pageSize, c.max);
        rig.React = react;
        c.gesture(rig);
        EXPECT_EQ(rig.Positions(), c.seen);
        rig.ExpectShown();
    }
}

class TrackBarGestures : public ::testing::Test {
protected:
    void SetUp() override {
        FLines = QApplication::wheelScrollLines();
        QApplication::setWheelScrollLines(3);
    }
    void TearDown() override { QApplication::setWheelScrollLines(FLines); }

private:
    int FLines = 3;
};

TEST_F(TrackBarGestures, KeysRaiseOnEveryActionAndOnRelease) {
    RunGestures({
        {"arrows with line size 0 do not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
                 r.Key(key);
         },
         {5, 5, 5, 5, 5, 5, 5, 5}},
        {"page keys with page size 0 do not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(Qt::Key_PageUp);
             r.Key(Qt::Key_PageDown);
         },
         {5, 5, 5, 5}},
        {"Home and End",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(Qt::Key_Home);
             r.Key(Qt::Key_Home);
             r.Key(Qt::Key_End);
         },
         {0, 0, 0, 0, 10, 10}},
        {"arrows move by the line size: Left and Up down, Right and Down up",
         5,
         2,
         0,
         10,
         [](Rig& r) {
             r.Key(Qt::Key_Right);
             r.Key(Qt::Key_Up);
             r.Key(Qt::Key_Left);
             r.Key(Qt::Key_Down);
         },
         {7, 7, 5, 5, 3, 3, 5, 5}},
        {"page keys move by the page size, clamped",
         8,
         0,
         4,
         10,
         [](Rig& r) {
             r.Key(Qt::Key_PageDown);
             r.Key(Qt::Key_PageUp);
         },
         {10, 10, 6, 6}},
        {"a held key: every auto-repeat acts, one release ends it",
         5,
         1,
         0,
         10,
         [](Rig& r) {
             QTest::keyPress(r.bar.Widget(), Qt::Key_Right);
             r.AutoRepeat(Qt::Key_Right);
             r.AutoRepeat(Qt::Key_Right);
             QTest::keyRelease(r.bar.Widget(), Qt::Key_Right);
         },
         {6, 7, 8, 8}},
        {"keys on an empty range",
         0,
         1,
         1,
         0,
         [](Rig& r) {
             r.Key(Qt::Key_Right);
             r.Key(Qt::Key_End);
         },
         {0, 0, 0, 0}},
        {"other keys raise nothing",
         5,
         1,
         1,
         10,
         [](Rig& r) {
             r.Key(Qt::Key_A);
             r.Key(Qt::Key_Space);
             r.Key(Qt::Key_Return);
         },
         {}},
    });
}

TEST_F(TrackBarGestures, WheelRaisesOnEveryStep) {
    RunGestures({
        {"a notch with line size 0 does not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Wheel(120);
             r.Wheel(-120);
         },
         {5, 5}},
        {"away from the user goes towards the minimum, by lines times line size",
         5,
         1,
         0,
         10,
         [](Rig& r) {
             r.Wheel(120);
             r.Wheel(-120);
             r.Wheel(-120);
         },
         {2, 5, 8}},
        {"partial deltas add up to one step",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Wheel(60);
             r.Wheel(50);
             r.Wheel(10);
             r.Wheel(-40);
         },
         {5}},
        {"a huge delta clamps in one step",
         5,
         1000000,
         0,
         10,
         [](Rig& r) { r.Wheel(-2147483520); },
         {10}},
    });
}

TEST_F(TrackBarGestures, MouseRaisesOnEveryStepAndOnRelease) {
    RunGestures({
        {"drag: each step that moves, then the release",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(2));
             r.Move(r.At(5));
             r.Move(r.At(5) + QPoint(1, 0));
             r.Move(r.At(7));
             r.Release(r.At(7));
         },
         {5, 7, 7}},
        {"press and release on the thumb", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(2)); }, {2}},
        {"drag past the end clamps",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(2));
             r.Move({2000, 11});
             r.Move({2100, 11});
             r.Release({2100, 11});
         },
         {10, 10}},
        {"drag on an empty range still ends with a change",
         0,
         0,
         0,
         0,
         [](Rig& r) {
             EXPECT_TRUE(r.Send(QEvent::MouseButtonPress, Qt::LeftButton, r.At(0)));
             EXPECT_TRUE(r.bar.Widget()->isSliderDown());
             r.Send(QEvent::MouseMove, Qt::LeftButton, r.At(0) + QPoint(40, 0));
             r.Send(QEvent::MouseButtonRelease, Qt::LeftButton, r.At(0) + QPoint(40, 0));
             EXPECT_FALSE(r.bar.Widget()->isSliderDown());
         },
         {0}},
        {"click right of the thumb, page size 0: no jump",
         2,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(8)); },
         {2, 2}},
        {"click left of the thumb, page size 0: no jump",
         5,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(1)); },
         {5, 5}},
        {"click pages towards the pointer",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             r.Click(r.At(8));
             r.Click(r.At(0));
         },
         {5, 5, 2, 2}},
        {"held click repeats until the thumb reaches the pointer",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             r.Press(r.At(6));
             r.RepeatTick();
             r.RepeatTick();
             r.Release(r.At(6));
         },
         {5, 8, 8}},
        {"held click with page size 0 repeats without moving",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(8));
             r.RepeatTick();
             r.RepeatTick();
             r.Release(r.At(8));
         },
         {2, 2, 2, 2}},
        {"a held click follows the pointer",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             r.Press(r.At(6));
             r.Move(r.At(10));
             r.RepeatTick();
             r.RepeatTick();
             r.Release(r.At(10));
         },
         {5, 8, 10, 10}},
        {"other buttons do nothing",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
                 r.Send(QEvent::MouseButtonPress, b, r.At(8));
                 r.Send(QEvent::MouseButtonRelease, b, r.At(8));
                 r.Send(QEvent::MouseButtonPress, b, r.At(2));
                 r.Send(QEvent::MouseButtonRelease, b, r.At(2));
             }
         },
         {}},
        {"losing the focus ends a held click without a change",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(8));
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(r.bar.Widget(), &out);
             r.RepeatTick();
             r.Release(r.At(8));
         },
         {2}},
        {"a release lost during a drag does not block the next gesture",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Send(QEvent::MouseButtonPress, Qt::LeftButton, r.At(2));
             r.Send(QEvent::MouseMove, Qt::LeftButton, r.At(4));
             r.Send(QEvent::MouseButtonPress, Qt::LeftButton, r.At(8));
             r.Send(QEvent::MouseButtonRelease, Qt::LeftButton, r.At(8));
             EXPECT_FALSE(r.bar.Widget()->isSliderDown());
         },
         {4, 4, 4}},
    });
}

TEST_F(TrackBarGestures, HandlersMaySetPositionAndMaximum) {
    // A handler that behaves like the clock: the first change it sees pulls the thumb to 1.
    bool pulled = false;
    auto pullToOne = [&pulled](Rig& r) {
        if (!std::exchange(pulled, true))
            r.bar.SetPosition(1);
    };
    RunGestures(
        {
            {"inside a drag step",
             2,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.Press(r.At(2));
                 r.Move(r.At(5));
                 r.Move(r.At(7));
                 r.Release(r.At(7));
             },
             {5, 1, 7, 7}},
            {"inside a key action",
             5,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.Key(Qt::Key_End);
             },
             {10, 1, 1}},
            {"inside a position set from code",
             5,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.bar.SetPosition(8);
             },
             {8, 1}},
        },
        pullToOne);

    // A handler that shrinks the range whenever it sees the thumb beyond 4.
    RunGestures(
        {
            {"maximum shrunk inside a key action",
             5,
             0,
             0,
             10,
             [](Rig& r) { r.Key(Qt::Key_End); },
             {10, 4, 4}},
            {"maximum shrunk inside a page step",
             2,
             0,
             3,
             10,
             [](Rig& r) {
                 r.Press(r.At(9));
                 r.RepeatTick(); // the shrunk range put the thumb past the pointer: no step
                 r.Release(r.At(9));
             },
             {5, 4, 4}},
        },
        [](Rig& r) {
            if (r.bar.Position() > 4)
                r.bar.SetMax(4);
        });

    // A handler that sets the position it sees, and one that drops itself: no extra changes.
    RunGestures(
        {{"same position from inside", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(8)); }, {2, 2}}},
        [](Rig& r) { r.bar.SetPosition(r.bar.Position()); });
    RunGestures(
        {{"handler replaced while it runs", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(8)); }, {2}}},
        [](Rig& r) { r.bar.OnChange = nullptr; });
}

} // namespace
