#pragma once

#include "toolkit/Control.h"

#include <windows.h>

namespace win32 {
class Panel;
}

// A control's window in the Win32 back end. Forms, panels and the slider are windows of their
// own; labels, bevels and pictures are drawn by the panel they lie on. Bounds are in the
// program's pixels (96 dots per inch); the peer scales them to the monitor's.
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
};

// The window behind a control, for the back end and for the tests that drive it.
inline HWND Win32Window(const TControl* control) {
    return control != nullptr && control->Handle() != nullptr ? control->Handle()->Window()
                                                              : nullptr;
}

// The monitor's dots per inch that the program's pixels are scaled to (96 at 100 %).
int Win32Dpi();
// A length in the program's pixels in the monitor's, and back.
int Win32Scaled(int value);
int Win32Unscaled(int value);
