#pragma once

#include "toolkit/Control.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Window.h"

#include <windows.h>

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

    // The program's scale changed (the window moved to a monitor with another one): lay the
    // control out again at the bounds it had in the program's pixels.
    virtual void Rescale(const RECT& bounds) { SetBounds(bounds); }
};

// The window behind a control, for the back end and for the tests that drive it.
inline HWND Win32Window(const TControl* control) {
    return control != nullptr && control->Handle() != nullptr ? control->Handle()->Window()
                                                              : nullptr;
}

// Lengths in the program's pixels (96 dots per inch) in the monitor's, and back.
inline int Win32Scaled(int value) {
    return win32::Scaled(value);
}
inline int Win32Unscaled(int value) {
    return win32::Unscaled(value);
}
