#include "toolkit/TrackBar.h"

#include "Differences.h"
#include "Ui.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
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

// `at` moved `dx` pixels to the right.
TPoint Right(TPoint at, int dx) {
    return {at.X + dx, at.Y};
}

// A slider at the size the main window gives it, recording every change event; React runs inside
// the handler, after the record.
struct Rig {
    TTrackBar bar;
    std::vector<Seen> seen;
    std::function<void(Rig&)> React;

    explicit Rig(int position, int lineSize = 0, int pageSize = 0, int max = 10) {
        bar.SetBounds(12, 19, 389, 22);
        bar.SetLineSize(lineSize);
        bar.SetPageSize(pageSize);
        bar.SetMax(max);
        bar.SetPosition(position);
        ui::ShowAndWait(bar);
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
    TPoint At(int value) {
        auto handler = std::exchange(bar.OnChange, nullptr);
        const int old = bar.Position();
        bar.SetPosition(value);
        const TPoint centre = ui::ThumbCentre(bar);
        bar.SetPosition(old);
        bar.OnChange = std::move(handler);
        return centre;
    }

    void Press(TPoint at) { ui::PointerPress(bar, at); }
    void Move(TPoint at) { ui::PointerMove(bar, at); }
    void Release(TPoint at) { ui::PointerRelease(bar, at); }
    void Click(TPoint at) { ui::PointerClick(bar, at); }
    void Key(ui::TKey key) { ui::Key(bar, key); }
    void AutoRepeat(ui::TKey key) { ui::KeyAutoRepeat(bar, key); }
    void Wheel(int delta) { ui::Wheel(bar, delta); }
    // One tick of the auto-repeat of a click held in the channel, without waiting for it.
    void RepeatTick() { ui::PageRepeatTick(bar); }
    // A pointer event past the driver's own button bookkeeping; true if the slider took it.
    bool Send(ui::TPointerEvent event, TMouseButton button, TPoint at) {
        return ui::SendPointer(bar, event, button, at);
    }

    // The thumb on screen must stand where the stored position says.
    void ExpectShown() {
        EXPECT_EQ(ui::ShownSlider(bar), (ui::TShownSlider{bar.Min(), bar.Max(), bar.Position()}));
    }
};

TEST(TrackBar, StartsAtZeroInTheRangeZeroToTen) {
    TTrackBar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(ui::ShownSlider(bar), (ui::TShownSlider{0, 10, 0}));
}

TEST(TrackBar, ThumbTakesTheLengthItIsGiven) {
    Rig rig(0);
    for (int length : {14, 20}) {
        rig.bar.SetThumbLength(length);
        EXPECT_EQ(ui::ThumbLength(rig.bar), length);
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

// Where the system's trackbar notifies otherwise (the Win32 back end's, Wine's common controls).
constexpr const char* kReleaseNotifications =
    "the system's trackbar notifies the end of a pointer gesture more than once (thumb position, "
    "end of scroll, end again when it lets the capture go), and each notification is a change";
constexpr const char* kKeyAtTheEnd =
    "the system's trackbar sends no notification for a key that cannot move the thumb past the "
    "end of its range, only the one of the key's release";

struct GestureCase {
    const char* name;
    int start;
    int lineSize;
    int pageSize;
    int max;
    std::function<void(Rig&)> gesture;
    std::vector<int> seen; // Position() inside each change event, in order
    // A back end whose slider answers otherwise, and what it gives there where that is known:
    // the row still runs there and must give it, so that a change shows.
    TDifference differs = {};
    std::optional<std::vector<int>> seenThere = {};
};

void RunGestures(const std::vector<GestureCase>& cases, std::function<void(Rig&)> react = nullptr) {
    TDifferentRows different;
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.start, c.lineSize, c.pageSize, c.max);
        rig.React = react;
        c.gesture(rig);
        if (c.differs.Here()) {
            if (c.seenThere) {
                EXPECT_EQ(rig.Positions(), *c.seenThere) << "this system's answer changed";
            }
            different.Note(c.name, c.differs, ::testing::PrintToString(rig.Positions()));
            continue;
        }
        EXPECT_EQ(rig.Positions(), c.seen);
        rig.ExpectShown();
    }
    RS_SKIP_DIFFERENT_ROWS(different);
}

class TrackBarGestures : public ::testing::Test {
protected:
    void SetUp() override {
        FLines = ui::WheelScrollLines();
        ui::SetWheelScrollLines(3);
    }
    void TearDown() override { ui::SetWheelScrollLines(FLines); }

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
             for (ui::TKey key : {ui::TKey::Left, ui::TKey::Right, ui::TKey::Up, ui::TKey::Down})
                 r.Key(key);
         },
         {5, 5, 5, 5, 5, 5, 5, 5}},
        {"page keys with page size 0 do not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(ui::TKey::PageUp);
             r.Key(ui::TKey::PageDown);
         },
         {5, 5, 5, 5}},
        {"Home and End",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(ui::TKey::Home);
             r.Key(ui::TKey::Home);
             r.Key(ui::TKey::End);
         },
         {0, 0, 0, 0, 10, 10},
         OnWin32(kKeyAtTheEnd),
         std::vector<int>{0, 0, 0, 10, 10}},
        {"arrows move by the line size: Left and Up down, Right and Down up",
         5,
         2,
         0,
         10,
         [](Rig& r) {
             r.Key(ui::TKey::Right);
             r.Key(ui::TKey::Up);
             r.Key(ui::TKey::Left);
             r.Key(ui::TKey::Down);
         },
         {7, 7, 5, 5, 3, 3, 5, 5}},
        {"page keys move by the page size, clamped",
         8,
         0,
         4,
         10,
         [](Rig& r) {
             r.Key(ui::TKey::PageDown);
             r.Key(ui::TKey::PageUp);
         },
         {10, 10, 6, 6}},
        {"a held key: every auto-repeat acts, one release ends it",
         5,
         1,
         0,
         10,
         [](Rig& r) {
             ui::KeyPress(r.bar, ui::TKey::Right);
             r.AutoRepeat(ui::TKey::Right);
             r.AutoRepeat(ui::TKey::Right);
             ui::KeyRelease(r.bar, ui::TKey::Right);
         },
         {6, 7, 8, 8}},
        {"keys on an empty range",
         0,
         1,
         1,
         0,
         [](Rig& r) {
             r.Key(ui::TKey::Right);
             r.Key(ui::TKey::End);
         },
         {0, 0, 0, 0},
         OnWin32(kKeyAtTheEnd),
         std::vector<int>{0, 0}},
        {"other keys raise nothing",
         5,
         1,
         1,
         10,
         [](Rig& r) {
             r.Key(ui::TKey::A);
             r.Key(ui::TKey::Space);
             r.Key(ui::TKey::Return);
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
         {10},
         OnWin32("a wheel message carries its turn in 16 bits")},
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
             r.Move(Right(r.At(5), 1));
             r.Move(r.At(7));
             r.Release(r.At(7));
         },
         {5, 7, 7},
         OnWin32(kReleaseNotifications),
         std::vector<int>{5, 7, 7, 7, 7}},
        {"press and release on the thumb",
         2,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(2)); },
         {2},
         OnWin32(kReleaseNotifications),
         std::vector<int>{2, 2, 2}},
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
         {10, 10},
         OnWin32(kReleaseNotifications),
         std::vector<int>{10, 10, 10, 10}},
        {"drag on an empty range still ends with a change",
         0,
         0,
         0,
         0,
         [](Rig& r) {
             EXPECT_TRUE(r.Send(ui::TPointerEvent::Press, TMouseButton::Left, r.At(0)));
             EXPECT_TRUE(ui::ThumbHeld(r.bar));
             r.Send(ui::TPointerEvent::Move, TMouseButton::Left, Right(r.At(0), 40));
             r.Send(ui::TPointerEvent::Release, TMouseButton::Left, Right(r.At(0), 40));
             EXPECT_FALSE(ui::ThumbHeld(r.bar));
         },
         {0},
         OnWin32(kReleaseNotifications),
         std::vector<int>{0, 0, 0}},
        {"click right of the thumb, page size 0: no jump",
         2,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(8)); },
         {2, 2},
         OnWin32(kReleaseNotifications),
         std::vector<int>{2, 2, 2}},
        {"click left of the thumb, page size 0: no jump",
         5,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(1)); },
         {5, 5},
         OnWin32(kReleaseNotifications),
         std::vector<int>{5, 5, 5}},
        {"click pages towards the pointer",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             r.Click(r.At(8));
             r.Click(r.At(0));
         },
         {5, 5, 2, 2},
         OnWin32(kReleaseNotifications),
         std::vector<int>{5, 5, 5, 2, 2, 2}},
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
         {5, 8, 8},
         OnWin32(kReleaseNotifications),
         std::vector<int>{5, 8, 8, 8}},
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
         {2, 2, 2, 2},
         OnWin32(kReleaseNotifications),
         std::vector<int>{2, 2, 2, 2, 2}},
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
         {5, 8, 10, 10},
         OnWin32(kReleaseNotifications),
         std::vector<int>{5, 8, 10, 10, 10}},
        {"other buttons do nothing",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             for (TMouseButton b : {TMouseButton::Right, TMouseButton::Middle}) {
                 r.Send(ui::TPointerEvent::Press, b, r.At(8));
                 r.Send(ui::TPointerEvent::Release, b, r.At(8));
                 r.Send(ui::TPointerEvent::Press, b, r.At(2));
                 r.Send(ui::TPointerEvent::Release, b, r.At(2));
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
             ui::LoseFocus(r.bar);
             r.RepeatTick();
             r.Release(r.At(8));
         },
         {2},
         OnWin32("the system's trackbar notifies the end of a gesture whose capture it loses, and "
                 "the notification is a change"),
         std::vector<int>{2, 2}},
        {"a release lost during a drag does not block the next gesture",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Send(ui::TPointerEvent::Press, TMouseButton::Left, r.At(2));
             r.Send(ui::TPointerEvent::Move, TMouseButton::Left, r.At(4));
             r.Send(ui::TPointerEvent::Press, TMouseButton::Left, r.At(8));
             r.Send(ui::TPointerEvent::Release, TMouseButton::Left, r.At(8));
             EXPECT_FALSE(ui::ThumbHeld(r.bar));
         },
         {4, 4, 4},
         OnWin32(kReleaseNotifications),
         std::vector<int>{4, 4, 4, 4, 4, 4}},
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
             {5, 1, 7, 7},
             OnWin32(kReleaseNotifications),
             std::vector<int>{5, 1, 7, 7, 7, 7}},
            {"inside a key action",
             5,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.Key(ui::TKey::End);
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
             [](Rig& r) { r.Key(ui::TKey::End); },
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
             {5, 4, 4},
             OnWin32(kReleaseNotifications),
             std::vector<int>{5, 4, 4, 4}},
        },
        [](Rig& r) {
            if (r.bar.Position() > 4)
                r.bar.SetMax(4);
        });

    // A handler that sets the position it sees, and one that drops itself: no extra changes.
    RunGestures({{"same position from inside",
                  2,
                  0,
                  0,
                  10,
                  [](Rig& r) { r.Click(r.At(8)); },
                  {2, 2},
                  OnWin32(kReleaseNotifications),
                  std::vector<int>{2, 2, 2}}},
                [](Rig& r) { r.bar.SetPosition(r.bar.Position()); });
    RunGestures(
        {{"handler replaced while it runs", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(8)); }, {2}}},
        [](Rig& r) { r.bar.OnChange = nullptr; });
}

} // namespace
