// What the Win32 back end adds to the components: the program's pixels scaled to the monitor's,
// the layout following a change of scale, the system's pointer capture behind the toolkit's, calls
// posted to the main window, and the boxes it owns.

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Graphics.h"
#include "toolkit/Image.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"
#include "toolkit/win32/Peer.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The program's scale for one test, put back after.
struct ScaleScope {
    explicit ScaleScope(int dpi) : Saved(win32::ProgramDpi()) { win32::SetProgramDpi(dpi); }
    ~ScaleScope() { win32::SetProgramDpi(Saved); }
    int Saved;
};

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
        const RECT panel = win32::ParentRect(Win32Window(l.panel));
        EXPECT_EQ(panel.right - panel.left, MulDiv(529, dpi, 96));
        const RECT bar = win32::ParentRect(Win32Window(l.bar));
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
    const RECT panel = win32::ParentRect(Win32Window(l.panel));
    EXPECT_EQ(panel.right - panel.left, 1058);
    RECT outer{};
    GetWindowRect(Win32Window(&l.form), &outer);
    EXPECT_EQ(outer.right - outer.left, 1200);
}

// The pointer arrives in the monitor's pixels; the picture control's click rule counts in the
// program's. A release on the control's last monitor pixel clicks; one left of it, above it or
// past its right edge does not.
TEST(Scale, AReleaseClicksTheImageOnItsLastMonitorPixelAndNotOneBeyond) {
    for (const int dpi : {120, 144, 192}) {
        ScaleScope scale(dpi);
        TPanel panel;
        panel.SetBounds(0, 0, 100, 100);
        auto* image = new TImage(&panel);
        image->SetBounds(10, 10, 30, 29);
        int clicks = 0;
        image->OnClick = [&clicks](TObject*) { ++clicks; };
        const POINT origin = image->Handle()->Origin();
        const int width = MulDiv(30, dpi, 96);
        const int height = MulDiv(29, dpi, 96);
        struct Case {
            const char* name;
            int x, y; // in the monitor's pixels, from the control's top-left corner
            int clicks;
        };
        for (const Case& c :
             {Case{"one pixel left of it", -1, 5, 0}, Case{"one pixel above it", 5, -1, 0},
              Case{"one pixel past its right edge", width, 5, 0},
              Case{"its last pixel", width - 1, height - 1, 1}}) {
            SCOPED_TRACE(std::string(c.name) + " at dpi " + std::to_string(dpi));
            clicks = 0;
            HWND window = Win32Window(image);
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(origin.x + 5, origin.y + 5));
            ASSERT_EQ(GetCaptureControl(), image);
            SendMessageW(window, WM_LBUTTONUP, 0,
                         MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(origin.x + c.x)),
                                    static_cast<WORD>(static_cast<SHORT>(origin.y + c.y))));
            EXPECT_EQ(clicks, c.clicks);
        }
    }
}

// The minimum is the program's, in its pixels; the system is asked for it in the monitor's.
TEST(Scale, TheMinimumSizeReadsBackAsSetAndTheSystemGetsItScaledOnce) {
    ScaleScope scale(144);
    TForm form;
    form.SetMinimumOuterSize(560, 660);
    form.SetBounds(10, 20, 300, 300);
    EXPECT_EQ(form.OuterWidth(), 560);
    EXPECT_EQ(form.OuterHeight(), 660);
    MINMAXINFO info{};
    SendMessageW(Win32Window(&form), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 840);
    EXPECT_EQ(info.ptMinTrackSize.y, 990);
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

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    GetClassNameW(window, name, 8);
    if (std::wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A box shown over the main window is owned by it: the window takes no input until OK.
TEST(Boxes, AreOwnedByTheMainWindowWhichWaitsForOk) {
    TApplication app("reelstand");
    TForm form;
    HWND window = Win32Window(&form);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    ASSERT_EQ(GetActiveWindow(), window);
    for (const bool error : {false, true}) {
        SCOPED_TRACE(error ? "error box" : "message box");
        HWND box = nullptr;
        HWND owner = nullptr;
        BOOL usable = TRUE;
        // The box's own loop runs the timer: look at the box while it is open, then press OK.
        TTimer ticker;
        ticker.SetInterval(5);
        ticker.OnTimer = [&](TObject*) {
            if (box != nullptr)
                return;
            EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
            if (box == nullptr)
                return;
            owner = GetWindow(box, GW_OWNER);
            usable = IsWindowEnabled(window);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        };
        ticker.SetEnabled(true);
        if (error)
            app.ShowErrorBox("Error en Frameopen");
        else
            app.MessageBox("Diese Szene ist nicht vorhanden");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(owner, window);
        EXPECT_FALSE(usable);
        EXPECT_TRUE(IsWindowEnabled(window));
    }
}

} // namespace
