#pragma once

#include <windows.h>

#include <functional>

namespace win32 {

// WM_TIMER of a hidden message window; Interval in milliseconds, 0 stops it like disabling.
class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Running() const { return FRunning; }

    std::function<void()> OnTimer;

    // The window that gets every timer's WM_TIMER, with the timer as its id.
    static HWND Sink();

private:
    void Update();
    void Fire();
    static LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    unsigned FInterval = 1000;
    bool FEnabled = true;
    bool FRunning = false;
};

} // namespace win32
