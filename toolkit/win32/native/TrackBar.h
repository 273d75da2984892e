#pragma once

// The slider on the common-controls trackbar: horizontal, no ticks, fixed thumb length, selection
// range enabled, line and page size 0. It only shows what it is given; every scroll notification
// the trackbar sends for a user gesture is reported with the position the thumb stands at, moved
// or not. The rules of the stored position belong to its owner.

#include "toolkit/win32/native/Accessible.h"

#include <windows.h>

#include <functional>
#include <string>

namespace win32 {

class TrackBar : public AccessibleSource {
public:
    TrackBar(HWND parent, int left, int top, int width, int height);
    ~TrackBar() override;
    TrackBar(const TrackBar&) = delete;
    TrackBar& operator=(const TrackBar&) = delete;

    HWND Handle() const { return FHandle; }

    // What the control shows.
    int Min() const;
    int Max() const;
    int Position() const;

    void SetMax(int value);
    void SetPosition(int value);
    void SetLineSize(int value);
    void SetPageSize(int value);
    void SetThumbLength(int value);

    std::function<void(int position)> OnUserScroll;

    // To assistive technology: a slider with this name (asked for when it is read) and its
    // position as its value.
    std::function<std::string()> Name;
    LONG AccessibleRole() const override;
    std::string AccessibleName() const override { return Name ? Name() : std::string(); }
    std::string AccessibleValue() const override { return std::to_string(Position()); }

    // The trackbar reports to its parent: every parent window procedure passes WM_HSCROLL here.
    // True when it came from one of these sliders (and was handled).
    static bool HandleScroll(WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    void Wheel(int delta);
    void UserScroll();

    HWND FHandle = nullptr;
    int FWheelDelta = 0;
    bool FReleasing = false; // inside the control's own release
    bool FStale = false;     // a gesture lost its capture; the control has not ended it yet
    bool FSilent = false;    // notifications of ending a lost gesture are not the user's
};

} // namespace win32
