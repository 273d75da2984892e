#pragma once

// The main window: a top-level window with a black background whose outer size never drops below
// a minimum, full screen through its style word, centring on the primary screen, files dropped on
// it from Explorer, and a close request that only reports. Sizes are in the window's pixels, the
// minimum's too.

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace win32 {

enum class WindowState { Normal, Minimized, Maximized };

class MainWindow {
public:
    MainWindow(const std::string& caption, int left, int top, int width, int height);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return FHandle; }

    int OuterLeft() const;
    int OuterTop() const;
    int OuterWidth() const;
    int OuterHeight() const;
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    // Sets the outer height so that the client area gets `height`, with the frame the style has.
    void SetClientHeight(int height);
    void SetMinimumOuterSize(int width, int height);

    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // The style word with the WS_* bits; a new one takes effect on the frame at once.
    std::uint32_t WindowStyle() const;
    void SetWindowStyle(std::uint32_t style);

    // While the window is hidden the state is kept for Show().
    WindowState State() const;
    void SetState(WindowState state);
    void Show();
    bool Visible() const;

    // X = (screen width - outer width) / 2, Y likewise, each at least 0.
    void CenterOnPrimaryScreen();
    static int ScreenWidth();
    static int ScreenHeight();

    // Posts the close request; OnClose runs when the message loop takes it. The window stays.
    void Close();
    void Repaint();
    // Runs `call` when the message loop next takes the window's messages; never once the
    // window is gone.
    void Post(std::function<void()> call);

    std::function<void()> OnResize;
    // The window got the keyboard focus: hand it on.
    std::function<void()> OnFocus;
    // Tab (forward) or Shift+Tab was pressed in the window (EventLoop).
    std::function<void(bool forward)> OnTab;
    // The window moved to a monitor with another scale; the system suggests its new outer
    // bounds. Without a handler the window takes them.
    std::function<void(int dpi, const RECT& suggested)> OnDpiChanged;
    std::function<void()> OnClose;
    std::function<void(const std::vector<std::string>& paths)> OnDropFiles;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND FHandle = nullptr;
    std::deque<std::function<void()>> FPosted;
    int FMinWidth = 0;
    int FMinHeight = 0;
    WindowState FPendingState = WindowState::Normal;
};

} // namespace win32
