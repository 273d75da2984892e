#pragma once

// The peers of the Win32 back end: how each kind of control sits on the system's windows.

#include "toolkit/Control.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Peer.h"
#include "toolkit/win32/Window.h"

#include <memory>

namespace win32peer {

inline RECT Unscaled(const RECT& r) {
    const int left = Win32Unscaled(r.left);
    const int top = Win32Unscaled(r.top);
    return {left, top, left + Win32Unscaled(r.right - r.left),
            top + Win32Unscaled(r.bottom - r.top)};
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

// The bounds of a panel or a drawn control (kept in the monitor's pixels) in the program's.
template <class Part> RECT ProgramBounds(const Part& part) {
    return Unscaled(
        RECT{part.Left(), part.Top(), part.Left() + part.Width(), part.Top() + part.Height()});
}

// Places a panel or a drawn control at bounds in the program's pixels; a control's own top-level
// window (`host`, if any) follows.
template <class Part> void Place(Part& part, const RECT& r, TTopWindow* host) {
    part.SetBounds(Win32Scaled(r.left), Win32Scaled(r.top), Win32Scaled(r.right - r.left),
                   Win32Scaled(r.bottom - r.top));
    if (host)
        host->Fit(Win32Scaled(r.right), Win32Scaled(r.bottom));
}

// A control that its panel draws: a label, a bevel, a picture.
template <class Graphic> struct TGraphicPeer : TControl::Peer {
    explicit TGraphicPeer(TWinControl* parent)
        : Host(), Control(ContainerFor(parent, Host), 0, 0, 0, 0) {}

    HWND Window() const override { return Control.Parent().Handle(); }
    POINT Origin() const override { return {Control.Left(), Control.Top()}; }
    RECT Bounds() const override { return ProgramBounds(Control); }
    void SetBounds(const RECT& r) override { Place(Control, r, Host.get()); }
    bool Visible() const override { return Control.Visible(); }
    void SetVisible(bool visible) override { Control.SetVisible(visible); }
    void Invalidate() override { Control.Invalidate(); }
    void Repaint() override { Control.Repaint(); }

    std::unique_ptr<TTopWindow> Host;
    Graphic Control;
};

} // namespace win32peer
