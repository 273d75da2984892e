#pragma once

#include "toolkit/Control.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// A top-level window with the old platform's geometry rules: positions and sizes are those of the
// outer frame, the minimum outer size holds on every change of size, and showing the main window
// runs its show handler before it is centred and made visible.
class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;

    // The outer frame, caption and borders included (Width and Height are the client area's).
    int OuterLeft() const;
    int OuterTop() const;
    int OuterWidth() const;
    int OuterHeight() const;
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientHeight(int height);
    void SetMinimumOuterSize(int width, int height);
    int MinimumOuterWidth() const { return FMinWidth; }
    int MinimumOuterHeight() const { return FMinHeight; }

    void SetCaption(const String& caption);
    // The background of the client area.
    void SetColor(TColor color);
    // The font the window's controls inherit.
    void SetFont(const TFont& font);
    // The control that takes the keyboard focus whenever the window is activated.
    void SetActiveControl(TControl* control);
    // The controls that Tab and Shift+Tab move the keyboard focus through, in this order; the
    // focus wraps at either end. Hidden controls are passed over.
    void SetTabOrder(std::vector<TControl*> order) { FTabOrder = std::move(order); }

    // Borderless pop-up window: no caption, frame, system menu or boxes.
    void SetBorderStyleNone();

    // The window style word with the old platform's bit values. Of its bits only the caption
    // (WS_CAPTION) has an effect here: with both of its bits the window has a frame, otherwise
    // it has none. The word itself is kept as set.
    std::uint32_t WindowStyle() const;
    void SetWindowStyle(std::uint32_t style);

    TWindowState WindowState() const;
    // Maximising also covers the primary screen's width from its top-left corner, so that the
    // window fills the screen even where no window manager maximises it.
    void SetWindowState(TWindowState state);

    // The primary screen's size in pixels.
    int ScreenWidth() const;
    int ScreenHeight() const;

    // Closing the main window only asks the application to end (see OnCloseRequest).
    void Close();

    // Runs `call` from the event loop, after the current handler has returned; never once the
    // window is gone.
    void Post(std::function<void()> call);

    // Runs a handler so that an exception leaving it is reported and goes no further.
    using THandlerGuard = std::function<void(const std::function<void()>& handler)>;

    // Brings the main window on screen: first the show handler (which may still change the
    // window's size and state), then, unless maximised or full screen, centring on the primary
    // screen with the size the window has by then, then visible in its current state. The show
    // handler runs inside `guard`, so that a failure there is reported and the window appears.
    void ShowMainForm(const THandlerGuard& guard);

    std::function<void()> OnShow;
    std::function<void()> OnResize;
    // Files dropped on the window, delivered from the event loop once the drop has returned, so
    // that the drag source is not kept waiting. An empty list: the drop carried no local file.
    std::function<void(const std::vector<String>& files)> OnDropFiles;

    // The platform reports here: every change of size, a request to close, and a drop (from
    // the event loop, after the drop itself has returned).
    void DoResize();
    void DoClose();
    void DoDropFiles(const std::vector<String>& files);
    // Tab (forward) or Shift+Tab pressed anywhere in the window.
    void DoTab(bool forward);

protected:
    // Set by the derived window: closing the main window only asks the application to end.
    std::function<void()> OnCloseRequest;

private:
    // The platform's part: take the state, ask the system for the minimum outer size, and centre
    // the window on the primary screen (x = (screen width - outer width) / 2, y likewise), never
    // off its top-left corner.
    void ShowWindowState(TWindowState state);
    void ShowMinimumSize();
    void CenterOnPrimaryScreen();

    int FMinWidth = 0;
    int FMinHeight = 0;
    bool FShowing = false;
    std::vector<TControl*> FTabOrder;
    std::uint32_t FStyle;
};
