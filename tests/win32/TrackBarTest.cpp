// The slider on the real common-controls trackbar: the change rules of code and the notifications
// of user gestures, driven by the messages the trackbar gets from the system.

#include "toolkit/win32/TrackBar.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The notification codes the trackbar sent, to explain a failing row.
std::vector<int> gCodes;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL) {
        gCodes.push_back(LOWORD(wParam));
        if (win32::TrackBar::HandleScroll(wParam, lParam))
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One hidden parent for every rig: creating top-level windows is slow under Wine.
HWND Parent() {
    static const ATOM atom = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = ParentProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"RsTrackBarTestParent";
        return RegisterClassW(&c);
    }();
    EXPECT_NE(atom, 0);
    static const HWND parent =
        CreateWindowExW(0, L"RsTrackBarTestParent", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 120,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return parent;
}

struct Seen {
    int position;
    int max;
    bool operator==(const Seen& o) const { return position == o.position && max == o.max; }
};

void PrintTo(const Seen& s, std::ostream* os) {
    *os << "{" << s.position << ", " << s.max << "}";
}

// A parent window with the slider at its place in the transport bar.
struct Rig {
    std::unique_ptr<win32::TrackBar> bar =
        std::make_unique<win32::TrackBar>(Parent(), 12, 19, 389, 22);
    POINT pointer{};
    std::vector<Seen> seen;
    std::function<void(Rig&)> React;

    explicit Rig(int start, int lineSize = 0, int pageSize = 0, int max = 10) {
        bar->SetMax(max);
        bar->SetPosition(start);
        bar->SetLineSize(lineSize);
        bar->SetPageSize(pageSize);
        bar->OnChange = [this] {
            seen.push_back({bar->Position(), bar->Max()});
            if (React)
                React(*this);
        };
    }

    HWND Handle() const { return bar->Handle(); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(Handle(), message, wParam, lParam);
    }

    std::vector<int> Positions() const {
        std::vector<int> result;
        for (const Seen& s : seen)
            result.push_back(s.position);
        return result;
    }

    RECT Thumb() {
        RECT r{};
        Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    // The centre of the thumb when it stands at `position`, measured on the trackbar itself.
    POINT At(int position) {
        const LRESULT shown = Send(TBM_GETPOS);
        // Only a position set with a redraw moves the thumb's rectangle.
        Send(TBM_SETPOS, TRUE, position);
        const RECT r = Thumb();
        Send(TBM_SETPOS, TRUE, shown);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void Key(UINT key) {
        Send(WM_KEYDOWN, key, 1);
        Send(WM_KEYUP, key, LPARAM(0xC0000001u));
    }
    void AutoRepeat(UINT key) { Send(WM_KEYDOWN, key, LPARAM(0x40000001)); }
    void Wheel(int delta) { Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); }
    void Press(POINT p) {
        pointer = p;
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    }
    void Move(POINT p) {
        pointer = p;
        Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    }
    void Release(POINT p) { Send(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
    // A box opened by a handler takes the capture.
    void LoseCapture() {
        SetCapture(Parent());
        ReleaseCapture();
    }
    void Click(POINT p) {
        Press(p);
        Release(p);
    }
    // One tick of the auto-repeat of a click held in the channel, without waiting for it. The
    // trackbar reads the pointer from the system at each tick.
    void RepeatTick() {
        POINT screen = pointer;
        ClientToScreen(Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        Send(WM_TIMER, 1, 0);
    }

    // The thumb the trackbar draws must stand where the stored position says.
    void ExpectShown() {
        EXPECT_EQ(Send(TBM_GETPOS), bar->Position());
        EXPECT_EQ(Send(TBM_GETRANGEMAX), bar->Max());
        EXPECT_EQ(Send(TBM_GETRANGEMIN), bar->Min());
    }
};

POINT operator+(POINT p, POINT d) {
    return {p.x + d.x, p.y + d.y};
}

TEST(TrackBar, IsTheCommonControlsTrackbarAsTheWindowDefinitionSetsIt) {
    Rig rig(0);
    ASSERT_NE(rig.Handle(), nullptr);
    wchar_t name[64] = {};
    GetClassNameW(rig.Handle(), name, 64);
    EXPECT_STREQ(name, TRACKBAR_CLASSW);
    const LONG style = GetWindowLongW(rig.Handle(), GWL_STYLE);
    const LONG wanted = TBS_HORZ | TBS_NOTICKS | TBS_FIXEDLENGTH | TBS_ENABLESELRANGE | WS_TABSTOP;
    EXPECT_EQ(style & (wanted | TBS_VERT), wanted);
    EXPECT_EQ(rig.Send(TBM_GETLINESIZE), 0);
    EXPECT_EQ(rig.Send(TBM_GETPAGESIZE), 0);
    EXPECT_EQ(rig.Send(TBM_GETTHUMBLENGTH), 20);
    EXPECT_EQ(rig.Send(TBM_GETSELSTART), rig.Send(TBM_GETSELEND));
    EXPECT_EQ(rig.bar->Min(), 0);
    EXPECT_EQ(rig.bar->Max(), 10);
    EXPECT_EQ(rig.bar->Position(), 0);
    rig.ExpectShown();
    RECT r{};
    GetWindowRect(rig.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 389);
    EXPECT_EQ(r.bottom - r.top, 22);
}

struct CodeCase {
    const char* name;
    int start;
    std::function<void(win32::TrackBar&)> action;
    int position;
    int max;
    std::vector<Seen> seen;
};

TEST(TrackBar, PositionAndMaximumSetFromCode) {
    using B = win32::TrackBar;
    const std::vector<CodeCase> cases = {
        {"position inside the range", 3, [](B& b) { b.SetPosition(7); }, 7, 10, {{7, 10}}},
        {"same position", 4, [](B& b) { b.SetPosition(4); }, 4, 10, {}},
        {"below the minimum clamps", 4, [](B& b) { b.SetPosition(-3); }, 0, 10, {{0, 10}}},
        {"below the minimum, already there", 0, [](B& b) { b.SetPosition(-3); }, 0, 10, {}},
        {"above the maximum clamps", 4, [](B& b) { b.SetPosition(99); }, 10, 10, {{10, 10}}},
        {"above the maximum, already there", 10, [](B& b) { b.SetPosition(11); }, 10, 10, {}},
        {"INT_MIN", 4, [](B& b) { b.SetPosition(INT_MIN); }, 0, 10, {{0, 10}}},
        {"INT_MAX", 4, [](B& b) { b.SetPosition(INT_MAX); }, 10, 10, {{10, 10}}},
        {"maximum below the minimum is ignored", 5, [](B& b) { b.SetMax(-1); }, 5, 10, {}},
        {"maximum INT_MIN is ignored", 10, [](B& b) { b.SetMax(INT_MIN); }, 10, 10, {}},
        {"maximum below the position clamps it", 7, [](B& b) { b.SetMax(4); }, 4, 4, {{4, 4}}},
        {"maximum above the position", 2, [](B& b) { b.SetMax(4); }, 2, 4, {}},
        {"maximum equal to the position", 4, [](B& b) { b.SetMax(4); }, 4, 4, {}},
        {"maximum 0 pulls the position to 0", 3, [](B& b) { b.SetMax(0); }, 0, 0, {{0, 0}}},
        {"maximum 0 with the position at 0", 0, [](B& b) { b.SetMax(0); }, 0, 0, {}},
        {"maximum grows", 10, [](B& b) { b.SetMax(20); }, 10, 20, {}},
        {"position clamps into a new maximum",
         0,
         [](B& b) {
             b.SetMax(8);
             b.SetPosition(9);
         },
         8,
         8,
         {{8, 8}}},
        {"ignored maximum keeps the old range",
         0,
         [](B& b) {
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
        c.action(*rig.bar);
        EXPECT_EQ(rig.bar->Position(), c.position);
        EXPECT_EQ(rig.bar->Max(), c.max);
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
        gCodes.clear();
        c.gesture(rig);
        EXPECT_EQ(rig.Positions(), c.seen)
            << "notification codes: " << testing::PrintToString(gCodes);
        rig.ExpectShown();
    }
}

TEST(TrackBarGestures, KeysRaiseOnEveryActionAndOnRelease) {
    RunGestures({
        {"arrows with line size 0 do not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             for (UINT key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
                 r.Key(key);
         },
         {5, 5, 5, 5, 5, 5, 5, 5}},
        {"page keys with page size 0 do not move",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(VK_PRIOR);
             r.Key(VK_NEXT);
         },
         {5, 5, 5, 5}},
        {"Home and End",
         5,
         0,
         0,
         10,
         [](Rig& r) {
             r.Key(VK_HOME);
             r.Key(VK_HOME);
             r.Key(VK_END);
         },
         // A key that cannot move the thumb raises only at its release.
         {0, 0, 0, 10, 10}},
        {"arrows move by the line size: Left and Up down, Right and Down up",
         5,
         2,
         0,
         10,
         [](Rig& r) {
             r.Key(VK_RIGHT);
             r.Key(VK_UP);
             r.Key(VK_LEFT);
             r.Key(VK_DOWN);
         },
         {7, 7, 5, 5, 3, 3, 5, 5}},
        {"page keys move by the page size, clamped",
         8,
         0,
         4,
         10,
         [](Rig& r) {
             r.Key(VK_NEXT);
             r.Key(VK_PRIOR);
         },
         {10, 10, 6, 6}},
        {"a held key: every auto-repeat acts, one release ends it",
         5,
         1,
         0,
         10,
         [](Rig& r) {
             r.Send(WM_KEYDOWN, VK_RIGHT, 1);
             r.AutoRepeat(VK_RIGHT);
             r.AutoRepeat(VK_RIGHT);
             r.Send(WM_KEYUP, VK_RIGHT, LPARAM(0xC0000001u));
         },
         {6, 7, 8, 8}},
        {"keys on an empty range",
         0,
         1,
         1,
         0,
         [](Rig& r) {
             r.Key(VK_RIGHT);
             r.Key(VK_END);
         },
         {0, 0}},
        {"other keys raise nothing",
         5,
         1,
         1,
         10,
         [](Rig& r) {
             r.Key('A');
             r.Key(VK_SPACE);
             r.Key(VK_RETURN);
         },
         {}},
    });
}

TEST(TrackBarGestures, WheelRaisesOnEveryStep) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_EQ(lines, 3u); // the system's default, which the rows below assume
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
    });
}

// The trackbar ends a drag with three notifications: the thumb's final position, the end of the
// gesture, and the end again when it lets the capture go; a click in the channel with two.
TEST(TrackBarGestures, MouseRaisesOnEveryStepAndOnRelease) {
    RunGestures({
        {"drag: each step that moves, then the release",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(2));
             r.Move(r.At(5));
             r.Move(r.At(5) + POINT{1, 0});
             r.Move(r.At(7));
             r.Release(r.At(7));
         },
         {5, 7, 7, 7, 7}},
        {"press and release on the thumb",
         2,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(2)); },
         {2, 2, 2}},
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
         {10, 10, 10, 10}},
        {"drag on an empty range still ends with a change",
         0,
         0,
         0,
         0,
         [](Rig& r) {
             r.Press(r.At(0));
             r.Move(r.At(0) + POINT{40, 0});
             r.Release(r.At(0) + POINT{40, 0});
         },
         {0, 0, 0}},
        {"click right of the thumb, page size 0: no jump",
         2,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(8)); },
         {2, 2, 2}},
        {"click left of the thumb, page size 0: no jump",
         5,
         0,
         0,
         10,
         [](Rig& r) { r.Click(r.At(1)); },
         {5, 5, 5}},
        {"click pages towards the pointer",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             r.Click(r.At(8));
             r.Click(r.At(0));
         },
         {5, 5, 5, 2, 2, 2}},
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
         {5, 8, 8, 8}},
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
         {2, 2, 2, 2, 2}},
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
         {5, 8, 10, 10, 10}},
        {"other buttons do nothing",
         2,
         0,
         3,
         10,
         [](Rig& r) {
             for (auto [down, up] : {std::pair{WM_RBUTTONDOWN, WM_RBUTTONUP},
                                     std::pair{WM_MBUTTONDOWN, WM_MBUTTONUP}}) {
                 for (int at : {8, 2}) {
                     const POINT p = r.At(at);
                     r.Send(down, 0, MAKELPARAM(p.x, p.y));
                     r.Send(up, 0, MAKELPARAM(p.x, p.y));
                 }
             }
         },
         {}},
        {"losing the capture ends a held click: no more repeats, a silent release",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(8));
             r.LoseCapture();
             r.RepeatTick();
             r.Release(r.At(8));
         },
         {2, 2}},
        {"a drag that lost its capture does not follow the pointer; the next press starts afresh",
         2,
         0,
         0,
         10,
         [](Rig& r) {
             r.Press(r.At(2));
             r.Move(r.At(4));
             r.LoseCapture();
             r.Send(WM_MOUSEMOVE, 0, MAKELPARAM(r.At(6).x, r.At(6).y));
             r.Press(r.At(8));
             r.Release(r.At(8));
         },
         {4, 4, 4, 4, 4}},
    });
}

TEST(TrackBarGestures, HandlersMaySetPositionAndMaximum) {
    // A handler that behaves like the clock: the first change it sees pulls the thumb to 1.
    bool pulled = false;
    auto pullToOne = [&pulled](Rig& r) {
        if (!std::exchange(pulled, true))
            r.bar->SetPosition(1);
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
             {5, 1, 7, 7, 7, 7}},
            {"inside a key action",
             5,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.Key(VK_END);
             },
             {10, 1, 1}},
            {"inside a position set from code",
             5,
             0,
             0,
             10,
             [&pulled](Rig& r) {
                 pulled = false;
                 r.bar->SetPosition(8);
             },
             {8, 1}},
        },
        pullToOne);

    // A handler that shrinks the range whenever it sees the thumb beyond 4.
    RunGestures({{"maximum shrunk inside a key action",
                  5,
                  0,
                  0,
                  10,
                  [](Rig& r) { r.Key(VK_END); },
                  {10, 4, 4}}},
                [](Rig& r) {
                    if (r.bar->Position() > 4)
                        r.bar->SetMax(4);
                });

    // A handler that sets the position it sees, and one that drops itself: no extra changes.
    RunGestures(
        {{"same position from inside", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(8)); }, {2, 2, 2}}},
        [](Rig& r) { r.bar->SetPosition(r.bar->Position()); });
    RunGestures(
        {{"handler replaced while it runs", 2, 0, 0, 10, [](Rig& r) { r.Click(r.At(8)); }, {2}}},
        [](Rig& r) { r.bar->OnChange = nullptr; });
}

} // namespace
