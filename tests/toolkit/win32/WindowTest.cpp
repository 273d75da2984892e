// The main window on user32: outer geometry and its minimum, full screen through the style word,
// centring, background, dropped files, the close request and the event loop. The screen is 1280 x
// 1024.

#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/ComScope.h"
#include "toolkit/win32/native/EventLoop.h"
#include "toolkit/win32/native/MainWindow.h"
#include "toolkit/win32/native/Panel.h"
#include "toolkit/win32/native/TrackBar.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using win32::MainWindow;

struct Form {
    MainWindow window{"Tavrin Reelstand", 214, 135, 560, 660};
    int resized = 0;
    Form() {
        window.SetMinimumOuterSize(560, 660);
        window.OnResize = [this] { ++resized; };
    }
};

TEST(MainWindow, KeepsItsOuterSizeAtLeastTheMinimum) {
    Form f;
    ASSERT_NE(f.window.Handle(), nullptr);
    EXPECT_EQ(f.window.OuterLeft(), 214);
    EXPECT_EQ(f.window.OuterTop(), 135);
    EXPECT_EQ(f.window.OuterWidth(), 560);
    EXPECT_EQ(f.window.OuterHeight(), 660);
    struct Case {
        int width, height, wantWidth, wantHeight;
    };
    // Each row starts from the size the row before it left; only a change of size resizes.
    for (const Case& c : {Case{300, 300, 560, 660}, Case{800, 700, 800, 700},
                          Case{559, 900, 560, 900}, Case{0, 0, 560, 660}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const int before = f.resized;
        const bool changes =
            c.wantWidth != f.window.OuterWidth() || c.wantHeight != f.window.OuterHeight();
        f.window.SetBounds(10, 20, c.width, c.height);
        EXPECT_EQ(f.window.OuterWidth(), c.wantWidth);
        EXPECT_EQ(f.window.OuterHeight(), c.wantHeight);
        EXPECT_EQ(f.window.OuterLeft(), 10);
        EXPECT_EQ(f.resized > before, changes);
    }
    // A borderless pop-up ("-vollbild"), which the system itself does not hold to the minimum.
    f.window.SetWindowStyle(WS_POPUP | WS_CLIPCHILDREN);
    f.window.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(f.window.OuterWidth(), 560);
    EXPECT_EQ(f.window.OuterHeight(), 660);
    // The user's sizing asks the window for its limits.
    MINMAXINFO info{};
    SendMessageW(f.window.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 560);
    EXPECT_EQ(info.ptMinTrackSize.y, 660);
}

TEST(MainWindow, CentresOnThePrimaryScreen) {
    Form f;
    EXPECT_EQ(MainWindow::ScreenWidth(), 1280);
    EXPECT_EQ(MainWindow::ScreenHeight(), 1024);
    f.window.CenterOnPrimaryScreen();
    EXPECT_EQ(f.window.OuterLeft(), (1280 - 560) / 2);
    EXPECT_EQ(f.window.OuterTop(), (1024 - 660) / 2);
    // Never off the top-left corner, however large the window.
    f.window.SetBounds(0, 0, 1500, 1100);
    f.window.CenterOnPrimaryScreen();
    EXPECT_EQ(f.window.OuterLeft(), 0);
    EXPECT_EQ(f.window.OuterTop(), 0);
}

TEST(MainWindow, FullScreenThroughTheStyleWord) {
    Form f;
    const std::uint32_t saved = f.window.WindowStyle();
    EXPECT_EQ(saved & WS_CAPTION, static_cast<std::uint32_t>(WS_CAPTION));
    const int framedClient = f.window.ClientHeight();
    f.window.SetWindowStyle(saved & 0xFF3FFFFF);
    EXPECT_EQ(f.window.WindowStyle(), saved & 0xFF3FFFFF);
    // Without the caption the client area takes the caption's height at once.
    EXPECT_GT(f.window.ClientHeight(), framedClient);

    // Hidden, the state waits for the first show.
    f.window.SetState(win32::WindowState::Maximized);
    EXPECT_FALSE(f.window.Visible());
    f.window.Show();
    EXPECT_EQ(f.window.State(), win32::WindowState::Maximized);
    f.window.SetClientHeight(MainWindow::ScreenHeight());
    EXPECT_EQ(f.window.ClientHeight(), 1024);

    // Leaving restores the style and the geometry.
    f.window.SetWindowStyle(saved);
    f.window.SetState(win32::WindowState::Normal);
    f.window.SetBounds(214, 135, 560, 660);
    EXPECT_EQ(f.window.WindowStyle(), saved);
    EXPECT_EQ(f.window.State(), win32::WindowState::Normal);
    EXPECT_EQ(f.window.ClientHeight(), framedClient);
}

TEST(MainWindow, StateIsKeptForTheFirstShowUnlessMaximised) {
    Form f;
    f.window.SetState(win32::WindowState::Normal);
    EXPECT_FALSE(f.window.Visible());
    f.window.Show();
    EXPECT_TRUE(f.window.Visible());
    EXPECT_EQ(f.window.State(), win32::WindowState::Normal);
}

TEST(MainWindow, BackgroundIsBlack) {
    Form f;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, 40, 40};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageW(f.window.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 35, 35), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// A drop as Explorer hands it over: DROPFILES and the wide names, each ended, the list too.
HGLOBAL DropOf(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const std::wstring& n : names)
        list += n + L'\0';
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST(MainWindow, ReportsDroppedFilesAsUtf8) {
    Form f;
    std::vector<std::vector<std::string>> drops;
    f.window.OnDropFiles = [&drops](const std::vector<std::string>& paths) {
        drops.push_back(paths);
    };
    // Names beyond any code page: a Cyrillic folder and a character outside the BMP.
    const std::vector<std::wstring> names = {L"C:\\Szenen\\\u0441\u0446\u0435\u043d\u0430.avi",
                                             L"C:\\s\u00fc\u00df \U0001F3AC.avi"};
    SendMessageW(f.window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(names)), 0);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0],
              (std::vector<std::string>{"C:\\Szenen\\\xd1\x81\xd1\x86\xd0\xb5\xd0\xbd\xd0\xb0.avi",
                                        "C:\\s\xc3\xbc\xc3\x9f \xf0\x9f\x8e\xac.avi"}));
    EXPECT_TRUE(DragQueryFileW(nullptr, 0, nullptr, 0) == 0);
    // The window takes drops from Explorer.
    EXPECT_TRUE(GetWindowLongW(f.window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(MainWindow, CloseOnlyReportsTheRequest) {
    Form f;
    int closes = 0;
    f.window.OnClose = [&closes] { ++closes; };
    f.window.Close();
    EXPECT_EQ(closes, 0); // posted
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(IsWindow(f.window.Handle()));
}

TEST(MainWindow, CaptionIsUtf8) {
    Form f;
    EXPECT_EQ(f.window.Caption(), "Tavrin Reelstand");
    f.window.SetCaption("sch\xc3\xb6n \xe2\x82\xac");
    wchar_t text[32] = {};
    GetWindowTextW(f.window.Handle(), text, 32);
    EXPECT_STREQ(text, L"sch\u00f6n \u20ac");
    EXPECT_EQ(f.window.Caption(), "sch\xc3\xb6n \xe2\x82\xac");
}

LRESULT CALLBACK CountTabs(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR count) {
    if (message == WM_KEYDOWN && wParam == VK_TAB)
        ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Tab and Shift+Tab go to the top-level window whatever holds the focus; other keys, and Tab
// with Ctrl, reach the focus (the slider its arrows).
TEST(EventLoop, HandsTabToTheTopLevelWindowAndOtherKeysToTheFocus) {
    Form f;
    win32::Panel panel(f.window.Handle(), 10, 10, 400, 60);
    win32::TrackBar bar(panel.Handle(), 12, 19, 389, 22);
    bar.SetLineSize(1);
    std::vector<int> seen;
    bar.OnUserScroll = [&](int position) { seen.push_back(position); };
    std::vector<bool> tabs;
    f.window.OnTab = [&](bool forward) { tabs.push_back(forward); };
    f.window.Show();
    SetFocus(bar.Handle());
    const auto stroke = [](UINT key, BYTE held) {
        BYTE keys[256] = {};
        keys[held] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, LPARAM(0xC0000001u));
        EXPECT_FALSE(win32::EventLoop::ProcessPending());
        keys[held] = 0;
        SetKeyboardState(keys);
    };
    stroke(VK_TAB, 0);
    stroke(VK_TAB, VK_SHIFT);
    stroke(VK_TAB, VK_CONTROL);
    EXPECT_EQ(tabs, (std::vector<bool>{true, false}));
    stroke(VK_RIGHT, 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 1}));
    EXPECT_EQ(GetFocus(), bar.Handle());

    // A window that moves no focus itself gets the key as it came.
    f.window.OnTab = nullptr;
    win32::Panel other(f.window.Handle(), 10, 80, 40, 40);
    int keys = 0;
    SetWindowSubclass(other.Handle(), CountTabs, 1, reinterpret_cast<DWORD_PTR>(&keys));
    SetFocus(other.Handle());
    stroke(VK_TAB, 0);
    EXPECT_EQ(keys, 1);
}

TEST(EventLoop, EndsOnTheRequestOrWhenToldToStop) {
    win32::EventLoop::PostQuit();
    EXPECT_TRUE(win32::EventLoop::ProcessPending());
    win32::EventLoop::PostQuit();
    EXPECT_TRUE(win32::EventLoop::Run(nullptr));

    // A handler that asks the loop to stop: it stops after that message, without a request.
    Form f;
    bool stop = false;
    f.window.OnClose = [&stop] { stop = true; };
    f.window.Close();
    EXPECT_FALSE(win32::EventLoop::Run([&stop] { return stop; }));
    EXPECT_TRUE(stop);
}

TEST(ComScope, InitialisesComForItsLife) {
    {
        win32::ComScope com;
        EXPECT_TRUE(com.Initialized());
        // A second initialisation on the thread only counts up.
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        CoUninitialize();
    }
    // Uninitialised again: a fresh initialisation is the first one.
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

} // namespace
