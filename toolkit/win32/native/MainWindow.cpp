#include "toolkit/win32/native/MainWindow.h"

#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/EventLoop.h"
#include "toolkit/win32/native/TrackBar.h"

#include <shellapi.h>

#include <algorithm>

namespace win32 {

namespace {

const wchar_t* const ClassName = L"ReelstandMainWindow";
constexpr UINT PostedMessage = WM_APP + 1;

void RegisterMainClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.style = CS_DBLCLKS;
        c.lpfnWndProc = DefWindowProcW; // replaced per window in WM_NCCREATE
        c.hInstance = GetModuleHandleW(nullptr);
        c.hIcon = LoadIconW(c.hInstance, L"MAINICON");
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        c.lpszClassName = ClassName;
        return RegisterClassExW(&c);
    }();
    (void)atom;
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

} // namespace

MainWindow::MainWindow(const std::string& caption, int left, int top, int width, int height) {
    RegisterMainClass();
    FHandle = CreateWindowExW(0, ClassName, Widen(caption).c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!FHandle)
        return;
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    DragAcceptFiles(FHandle, TRUE);
}

MainWindow::~MainWindow() {
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(FHandle);
    }
}

int MainWindow::OuterLeft() const {
    return WindowRect(FHandle).left;
}
int MainWindow::OuterTop() const {
    return WindowRect(FHandle).top;
}
int MainWindow::OuterWidth() const {
    const RECT r = WindowRect(FHandle);
    return r.right - r.left;
}
int MainWindow::OuterHeight() const {
    const RECT r = WindowRect(FHandle);
    return r.bottom - r.top;
}

void MainWindow::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ClientWidth() const {
    RECT r{};
    GetClientRect(FHandle, &r);
    return r.right;
}

int MainWindow::ClientHeight() const {
    RECT r{};
    GetClientRect(FHandle, &r);
    return r.bottom;
}

void MainWindow::SetClientHeight(int height) {
    // The frame is what the outer size has beyond the client area now (menu-less window).
    const int frame = OuterHeight() - ClientHeight();
    SetWindowPos(FHandle, nullptr, 0, 0, OuterWidth(), height + frame,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetMinimumOuterSize(int width, int height) {
    FMinWidth = width;
    FMinHeight = height;
    if (OuterWidth() < width || OuterHeight() < height)
        SetWindowPos(FHandle, nullptr, 0, 0, OuterWidth(), OuterHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetCaption(const std::string& caption) {
    SetWindowTextW(FHandle, Widen(caption).c_str());
}

std::string MainWindow::Caption() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(FHandle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(FHandle, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

std::uint32_t MainWindow::WindowStyle() const {
    return static_cast<std::uint32_t>(GetWindowLongW(FHandle, GWL_STYLE));
}

void MainWindow::SetWindowStyle(std::uint32_t style) {
    SetWindowLongW(FHandle, GWL_STYLE, static_cast<LONG>(style));
    // The frame is cached until it is told to change.
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowState MainWindow::State() const {
    if (!Visible())
        return FPendingState;
    if (IsIconic(FHandle))
        return WindowState::Minimized;
    return IsZoomed(FHandle) ? WindowState::Maximized : WindowState::Normal;
}

void MainWindow::SetState(WindowState state) {
    FPendingState = state;
    if (!Visible())
        return;
    ShowWindow(FHandle, state == WindowState::Maximized   ? SW_SHOWMAXIMIZED
                        : state == WindowState::Minimized ? SW_SHOWMINIMIZED
                                                          : SW_RESTORE);
}

void MainWindow::Show() {
    switch (FPendingState) {
    case WindowState::Normal:
        ShowWindow(FHandle, SW_SHOWNORMAL);
        break;
    case WindowState::Minimized:
        ShowWindow(FHandle, SW_SHOWMINIMIZED);
        break;
    case WindowState::Maximized:
        ShowWindow(FHandle, SW_SHOWMAXIMIZED);
        break;
    }
    UpdateWindow(FHandle);
}

bool MainWindow::Visible() const {
    return IsWindowVisible(FHandle) != FALSE;
}

void MainWindow::CenterOnPrimaryScreen() {
    const int x = std::max(0, (ScreenWidth() - OuterWidth()) / 2);
    const int y = std::max(0, (ScreenHeight() - OuterHeight()) / 2);
    SetWindowPos(FHandle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

int MainWindow::ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

void MainWindow::Close() {
    PostMessageW(FHandle, WM_CLOSE, 0, 0);
}

void MainWindow::Post(std::function<void()> call) {
    FPosted.push_back(std::move(call));
    PostMessageW(FHandle, PostedMessage, 0, 0);
}

void MainWindow::Repaint() {
    RedrawWindow(FHandle, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT MainWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO: {
        // The user's sizing and maximising; code's sizing is held in WM_WINDOWPOSCHANGING.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, FMinWidth);
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, FMinHeight);
        info->ptMaxSize.x = std::max(info->ptMaxSize.x, info->ptMinTrackSize.x);
        info->ptMaxSize.y = std::max(info->ptMaxSize.y, info->ptMinTrackSize.y);
        return 0;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            pos->cx = std::max(pos->cx, FMinWidth);
            pos->cy = std::max(pos->cy, FMinHeight);
        }
        break;
    }
    case WM_SIZE:
        if (auto handler = OnResize)
            handler();
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        if (auto handler = OnDpiChanged) {
            handler(HIWORD(wParam), *suggested);
            return 0;
        }
        SetWindowPos(FHandle, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(Narrow(path));
        }
        DragFinish(drop);
        if (auto handler = OnDropFiles; handler && !paths.empty())
            handler(paths);
        return 0;
    }
    case WM_CLOSE:
        if (auto handler = OnClose)
            handler();
        return 0;
    case WM_SETFOCUS:
        if (auto handler = OnFocus)
            handler();
        return 0;
    case PostedMessage:
        // One call per message: a call that yields to the loop takes the next one from there.
        if (!FPosted.empty()) {
            std::function<void()> call = std::move(FPosted.front());
            FPosted.pop_front();
            call();
        }
        return 0;
    case WM_HSCROLL:
        if (TrackBar::HandleScroll(wParam, lParam))
            return 0;
        break;
    default:
        if (message == EventLoop::NextControlMessage()) {
            if (auto handler = OnTab) {
                handler(wParam == 0);
                return 1;
            }
            return 0;
        }
        break;
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
}

} // namespace win32
