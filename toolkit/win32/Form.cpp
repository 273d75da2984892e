#include "toolkit/Form.h"

#include "toolkit/win32/Peer.h"

#include <algorithm>
#include <vector>

namespace {

using namespace win32peer;

// The main window: a frame around the client panel that the form's controls lie on.
struct TFormPeer : TControl::Peer {
    TTopWindow Top;
    TControl* Active = nullptr;

    HWND Window() const override { return Top.Main.Handle(); }
    POINT Origin() const override { return {0, 0}; }
    // The outer frame's position, the client area's size.
    RECT Bounds() const override {
        const int left = win32::Unscaled(Top.Main.OuterLeft());
        const int top = win32::Unscaled(Top.Main.OuterTop());
        return {left, top, left + win32::Unscaled(Top.Main.ClientWidth()),
                top + win32::Unscaled(Top.Main.ClientHeight())};
    }
    void SetBounds(const RECT& r) override {
        Top.Main.SetBounds(
            win32::Scaled(r.left), win32::Scaled(r.top),
            win32::Scaled(r.right - r.left) + Top.Main.OuterWidth() - Top.Main.ClientWidth(),
            win32::Scaled(r.bottom - r.top) + Top.Main.OuterHeight() - Top.Main.ClientHeight());
    }
    bool Visible() const override { return Top.Main.Visible(); }
    void SetVisible(bool visible) override {
        if (!visible) {
            ShowWindow(Top.Main.Handle(), SW_HIDE);
            return;
        }
        Top.Main.Show();
        FocusActive();
    }
    void Invalidate() override { Top.Client.Invalidate(); }
    void Repaint() override { Top.Main.Repaint(); }
    win32::Panel* Container() const override { return const_cast<win32::Panel*>(&Top.Client); }

    void FocusActive() const {
        if (HWND window = Win32Window(Active); window && IsWindowVisible(Top.Main.Handle()))
            SetFocus(window);
    }
};

// Every control of the window, parents before their children.
void CollectControls(const TComponent& owner, std::vector<TControl*>& controls) {
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        TComponent* component = owner.Components(i);
        if (auto* control = dynamic_cast<TControl*>(component))
            controls.push_back(control);
        CollectControls(*component, controls);
    }
}

TFormPeer& PeerOf(const TForm& form) {
    return *static_cast<TFormPeer*>(form.Handle());
}

win32::MainWindow& Main(const TForm& form) {
    return PeerOf(form).Top.Main;
}

win32::WindowState Win32State(TWindowState state) {
    return state == TWindowState::Maximized   ? win32::WindowState::Maximized
           : state == TWindowState::Minimized ? win32::WindowState::Minimized
                                              : win32::WindowState::Normal;
}

} // namespace

TForm::TForm() : TWinControl(nullptr), FStyle(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN) {
    auto peer = std::make_unique<TFormPeer>();
    win32::MainWindow& main = peer->Top.Main;
    TFormPeer* self = peer.get();
    main.OnResize = [this, self] {
        self->Top.FollowClient();
        DoResize();
    };
    main.OnClose = [this] { DoClose(); };
    main.OnFocus = [self] { self->FocusActive(); };
    main.OnTab = [this](bool forward) { DoTab(forward); };
    // Per-monitor scale: the layout follows the window to a monitor with another scale.
    main.OnDpiChanged = [this, self](int dpi, const RECT& suggested) {
        std::vector<TControl*> controls;
        CollectControls(*this, controls);
        std::vector<RECT> bounds;
        for (TControl* control : controls)
            bounds.push_back(control->Handle()->Bounds());
        win32::SetProgramDpi(dpi);
        ShowMinimumSize();
        for (std::size_t i = 0; i < controls.size(); ++i)
            controls[i]->Handle()->Rescale(bounds[i]);
        SetWindowPos(self->Top.Main.Handle(), nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // Delivered from the message loop, like on Linux: the drop itself has returned by then.
    main.OnDropFiles = [this](const std::vector<std::string>& paths) {
        const std::vector<String> files(paths.begin(), paths.end());
        Post([this, files] { DoDropFiles(files); });
    };
    SetPeer(std::move(peer));
}

int TForm::OuterLeft() const {
    return win32::Unscaled(Main(*this).OuterLeft());
}
int TForm::OuterTop() const {
    return win32::Unscaled(Main(*this).OuterTop());
}
int TForm::OuterWidth() const {
    return win32::Unscaled(Main(*this).OuterWidth());
}
int TForm::OuterHeight() const {
    return win32::Unscaled(Main(*this).OuterHeight());
}

void TForm::SetBounds(int left, int top, int width, int height) {
    // The window keeps its minimum size itself.
    Main(*this).SetBounds(win32::Scaled(left), win32::Scaled(top), win32::Scaled(width),
                          win32::Scaled(height));
}

void TForm::SetClientHeight(int height) {
    Main(*this).SetClientHeight(win32::Scaled(height));
}

void TForm::ShowMinimumSize() {
    Main(*this).SetMinimumOuterSize(win32::Scaled(MinimumOuterWidth()),
                                    win32::Scaled(MinimumOuterHeight()));
}

void TForm::SetCaption(const String& caption) {
    Main(*this).SetCaption(caption);
}

void TForm::SetColor(TColor color) {
    PeerOf(*this).Top.Client.SetColor(color);
}

// Each control is given its font; the window's own would only matter to controls without one.
void TForm::SetFont(const TFont&) {}

void TForm::SetActiveControl(TControl* control) {
    PeerOf(*this).Active = control;
    PeerOf(*this).FocusActive();
}

void TForm::SetBorderStyleNone() {
    SetWindowStyle(WS_POPUP | WS_CLIPCHILDREN | (WindowStyle() & WS_VISIBLE));
}

std::uint32_t TForm::WindowStyle() const {
    return Main(*this).WindowStyle();
}

void TForm::SetWindowStyle(std::uint32_t style) {
    FStyle = style;
    Main(*this).SetWindowStyle(style);
}

TWindowState TForm::WindowState() const {
    switch (Main(*this).State()) {
    case win32::WindowState::Minimized:
        return TWindowState::Minimized;
    case win32::WindowState::Maximized:
        return TWindowState::Maximized;
    default:
        return TWindowState::Normal;
    }
}

void TForm::ShowWindowState(TWindowState state) {
    win32::MainWindow& main = Main(*this);
    main.SetState(Win32State(state));
    if (!main.Visible() && state == TWindowState::Maximized) {
        // Hidden, the window keeps the state for its first show; its size already covers the
        // screen as a maximised one will.
        main.SetBounds(0, 0, win32::MainWindow::ScreenWidth(), main.OuterHeight());
    }
}

int TForm::ScreenWidth() const {
    return win32::Unscaled(win32::MainWindow::ScreenWidth());
}

int TForm::ScreenHeight() const {
    return win32::Unscaled(win32::MainWindow::ScreenHeight());
}

void TForm::Close() {
    Main(*this).Close();
}

void TForm::Post(std::function<void()> call) {
    Main(*this).Post(std::move(call));
}

void TForm::CenterOnPrimaryScreen() {
    Main(*this).CenterOnPrimaryScreen();
}
