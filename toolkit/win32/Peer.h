#pragma once

// A control's window in the Win32 back end, and what the peers of every kind of control share.
// Forms, panels and the slider are windows of their own; labels, bevels and pictures are drawn by
// the panel they lie on. Bounds are in the program's pixels (96 dots per inch); the peer scales
// them to the monitor's (Scale.h).

#include "toolkit/Control.h"
#include "toolkit/win32/Scale.h"
#include "toolkit/win32/native/MainWindow.h"
#include "toolkit/win32/native/Panel.h"

#include <oleacc.h>
#include <windows.h>

// The SDK's A/W switch would rename the application object's MessageBox wherever this header is
// seen; the back end calls MessageBoxW by its full name.
#undef MessageBox

#include <memory>

struct TControl::Peer {
    virtual ~Peer() = default;

    // The window that receives the control's pointer and keyboard messages: its own, or its
    // panel's for a control without a window.
    virtual HWND Window() const = 0;
    // Where the control's top-left corner lies in Window()'s client area, in the monitor's
    // pixels: (0, 0) for a control with a window of its own.
    virtual POINT Origin() const = 0;

    // In the parent's client area, in the program's pixels.
    virtual RECT Bounds() const = 0;
    virtual void SetBounds(const RECT& bounds) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Invalidate() = 0;
    virtual void Repaint() = 0;

    // The panel that child controls without a window of their own are drawn by; null for a
    // control that holds no children.
    virtual win32::Panel* Container() const { return nullptr; }

    // The keyboard focus.
    virtual bool Focused() const { return ::GetFocus() == Window(); }
    virtual void Focus() { ::SetFocus(Window()); }
    // What assistive technology is told: the control's role and whether it can be pressed, and
    // that its name changed. A control that is a system control keeps what the system says.
    virtual void ShowAccessibleRole(TAccessibleRole, bool) {}
    virtual void NotifyNameChange() {}

    // The program's scale changed (the window moved to a monitor with another one): lay the
    // control out again at the bounds it had in the program's pixels.
    virtual void Rescale(const RECT& bounds) { SetBounds(bounds); }
};

// The window behind a control, for the back end and for the tests that drive it.
inline HWND Win32Window(const TControl* control) {
    return control != nullptr && control->Handle() != nullptr ? control->Handle()->Window()
                                                              : nullptr;
}

namespace win32peer {

// The keys the toolkit acts on; with Ctrl or Alt held a key is another one.
inline TKeyCode ToolkitKey(UINT key) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return TKeyCode::Other;
    return key == VK_SPACE    ? TKeyCode::Space
           : key == VK_RETURN ? TKeyCode::Return
                              : TKeyCode::Other;
}

// The system's role for ours.
inline LONG SystemRole(TAccessibleRole role) {
    switch (role) {
    case TAccessibleRole::Button:
        return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::Link:
        return ROLE_SYSTEM_LINK;
    case TAccessibleRole::Slider:
        return ROLE_SYSTEM_SLIDER;
    case TAccessibleRole::Picture:
        return ROLE_SYSTEM_GRAPHIC;
    case TAccessibleRole::None:
        break;
    }
    return 0;
}

// Buttons in the toolkit's terms.
inline TMouseButton ToolkitButton(win32::MouseButton button) {
    return button == win32::MouseButton::Left    ? TMouseButton::Left
           : button == win32::MouseButton::Right ? TMouseButton::Right
                                                 : TMouseButton::Middle;
}

// The top-level window of the main form, or of a control made without a parent (tests make
// such ones): a frame around a panel that fills its client area, so every control has a panel
// to live on.
struct TTopWindow {
    TTopWindow();
    win32::MainWindow Main;
    win32::Panel Client;
    // The client panel follows the client area.
    void FollowClient();
    // Sizes the window so that its client area is `width` x `height` (a control's own window).
    void Fit(int width, int height);
};

// The panel that a control with this parent lives on; a control without a parent gets a
// top-level window of its own, in `host`.
win32::Panel& ContainerFor(TWinControl* parent, std::unique_ptr<TTopWindow>& host);

// Every control but the form: it lies on its parent's panel, or on a top-level window of its own
// (Host) when it has no parent.
struct TChildPeer : TControl::Peer {
    // Where a control's own top-level window follows its bounds (in the program's pixels).
    void FitHost(const RECT& r) {
        if (Host)
            Host->Fit(win32::Scaled(r.right), win32::Scaled(r.bottom));
    }

    std::unique_ptr<TTopWindow> Host;
};

// A control that is a child window of its own: a panel, the slider.
struct TChildWindowPeer : TChildPeer {
    POINT Origin() const override { return {0, 0}; }
    RECT Bounds() const override { return win32::Unscaled(win32::ParentRect(Window())); }
    void SetBounds(const RECT& r) override {
        using win32::Scaled;
        SetWindowPos(Window(), nullptr, Scaled(r.left), Scaled(r.top), Scaled(r.right - r.left),
                     Scaled(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE);
        FitHost(r);
    }
    bool Visible() const override {
        return (GetWindowLongW(Window(), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void SetVisible(bool visible) override { ShowWindow(Window(), visible ? SW_SHOWNA : SW_HIDE); }
};

// A control that its panel draws: a label, a bevel, a picture. Its bounds are kept in the
// monitor's pixels. Its panel holds the keyboard focus for it and tells assistive technology of
// it; a press, by key or by assistive technology, is the owner's.
template <class Graphic> struct TGraphicPeer : TChildPeer {
    TGraphicPeer(TControl& owner, TWinControl* parent)
        : Control(ContainerFor(parent, Host), 0, 0, 0, 0) {
        Control.AccessibleName = [&owner] { return owner.AccessibleName(); };
        Control.OnDefaultAction = [&owner] { owner.Click(); };
        Control.OnKeyDown = [&owner](UINT key, bool repeated) {
            return owner.DoKeyDown(ToolkitKey(key), repeated);
        };
        Control.PaintFocusMark = [this](HDC dc) {
            FocusMarkDots(Control.Width(), Control.Height(), [dc](int x, int y, TColor colour) {
                SetPixelV(dc, x, y, win32::ColorRef(colour));
            });
        };
    }

    HWND Window() const override { return Control.Parent().Handle(); }
    POINT Origin() const override { return {Control.Left(), Control.Top()}; }
    RECT Bounds() const override {
        return win32::Unscaled(RECT{Control.Left(), Control.Top(), Control.Left() + Control.Width(),
                                    Control.Top() + Control.Height()});
    }
    void SetBounds(const RECT& r) override {
        using win32::Scaled;
        Control.SetBounds(Scaled(r.left), Scaled(r.top), Scaled(r.right - r.left),
                          Scaled(r.bottom - r.top));
        FitHost(r);
    }
    bool Visible() const override { return Control.Visible(); }
    void SetVisible(bool visible) override { Control.SetVisible(visible); }
    void Invalidate() override { Control.Invalidate(); }
    void Repaint() override { Control.Repaint(); }

    bool Focused() const override { return Control.Parent().HasFocus(&Control); }
    void Focus() override { Control.Parent().Focus(&Control); }
    void ShowAccessibleRole(TAccessibleRole role, bool pressable) override {
        Control.AccessibleRole = SystemRole(role);
        Control.DefaultAction = pressable ? "Drücken" : "";
        Control.Invalidate();
    }
    void NotifyNameChange() override { Control.Parent().NotifyNameChange(&Control); }

    Graphic Control;
};

} // namespace win32peer
