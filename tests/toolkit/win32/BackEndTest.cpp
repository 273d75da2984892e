// What the Win32 back end adds to the components: the program's pixels scaled to the monitor's,
// the layout following a change of scale, the system's pointer capture behind the toolkit's, and
// calls posted to the main window.

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Graphics.h"
#include "toolkit/Image.h"
#include "toolkit/TrackBar.h"
#include "toolkit/win32/Peer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The program's scale for one test, put back after.
struct ScaleScope {
    explicit ScaleScope(int dpi) : Saved(win32::ProgramDpi()) { win32::SetProgramDpi(dpi); }
    ~ScaleScope() { win32::SetProgramDpi(Saved); }
    int Saved;
};

RECT ChildRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Layout {
    TForm form;
    TPanel* panel = new TPanel(&form);
    TImage* image = new TImage(panel);
    TTrackBar* bar = new TTrackBar(panel);
    Layout() {
        panel->SetBounds(0, 0, 529, 589);
        image->SetBounds(9, 7, 512, 512);
        bar->SetBounds(12, 535, 389, 22);
    }
};

TEST(Scale, ProgramPixelsSurviveEveryScaleAndLandOnTheMonitorsPixels) {
    for (const int dpi : {96, 120, 144, 168, 192, 288}) {
        SCOPED_TRACE("dpi " + std::to_string(dpi));
        ScaleScope scale(dpi);
        Layout l;
        // Read back exactly as set: the window's own layout rules depend on it.
        EXPECT_EQ(l.image->Width(), 512);
        EXPECT_EQ(l.image->Left(), 9);
        EXPECT_EQ(l.bar->Width(), 389);
        const RECT panel = ChildRect(Win32Window(l.panel));
        EXPECT_EQ(panel.right - panel.left, MulDiv(529, dpi, 96));
        const RECT bar = ChildRect(Win32Window(l.bar));
        EXPECT_EQ(bar.right - bar.left, MulDiv(389, dpi, 96));
        EXPECT_EQ(l.image->Handle()->Origin().x, MulDiv(9, dpi, 96));
    }
}

TEST(Scale, LayoutFollowsTheWindowToAMonitorWithAnotherScale) {
    ScaleScope scale(96);
    Layout l;
    const RECT suggested{100, 50, 100 + 1200, 50 + 1400};
    SendMessageW(Win32Window(&l.form), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(win32::ProgramDpi(), 192);
    // The same layout in the program's pixels, twice the monitor's pixels.
    EXPECT_EQ(l.image->Width(), 512);
    EXPECT_EQ(l.bar->Left(), 12);
    EXPECT_EQ(l.image->Handle()->Origin().x, 18);
    const RECT panel = ChildRect(Win32Window(l.panel));
    EXPECT_EQ(panel.right - panel.left, 1058);
    RECT outer{};
    GetWindowRect(Win32Window(&l.form), &outer);
    EXPECT_EQ(outer.right - outer.left, 1200);
}

TEST(Capture, IsTheSystemsAndEndsWithItsRelease) {
    Layout l;
    SetCaptureControl(l.image);
    EXPECT_EQ(GetCaptureControl(), l.image);
    EXPECT_EQ(GetCapture(), Win32Window(l.image));
    // The program's own code releases it with the system's call.
    ReleaseCapture();
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // Another window taking it (a box) ends it too.
    SetCaptureControl(l.image);
    SetCapture(Win32Window(&l.form));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    ReleaseCapture();
}

TEST(Post, RunsFromTheLoopInOrderAndNeverAfterTheWindow) {
    std::vector<int> ran;
    {
        TForm form;
        form.Post([&] { ran.push_back(1); });
        form.Post([&] { ran.push_back(2); });
        EXPECT_TRUE(ran.empty());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        EXPECT_EQ(ran, (std::vector<int>{1, 2}));
        form.Post([&] { ran.push_back(3); });
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

} // namespace
