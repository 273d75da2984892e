#include "toolkit/win32/native/Timer.h"

#include <set>

namespace win32 {

namespace {

// The timers alive: a WM_TIMER already taken from the queue may name one that is gone.
std::set<Timer*>& LiveTimers() {
    static std::set<Timer*> timers;
    return timers;
}

} // namespace

HWND Timer::Sink() {
    static const HWND sink = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = SinkProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"ReelstandTimerSink";
        RegisterClassW(&c);
        return CreateWindowExW(0, c.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               c.hInstance, nullptr);
    }();
    return sink;
}

LRESULT CALLBACK Timer::SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* timer = reinterpret_cast<Timer*>(wParam);
        if (LiveTimers().count(timer) && timer->FRunning)
            timer->Fire();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Timer::Timer() {
    LiveTimers().insert(this);
    Update();
}

Timer::~Timer() {
    LiveTimers().erase(this);
    if (FRunning)
        KillTimer(Sink(), reinterpret_cast<UINT_PTR>(this));
}

void Timer::SetInterval(unsigned milliseconds) {
    if (milliseconds == FInterval)
        return;
    FInterval = milliseconds;
    Update();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    Update();
}

void Timer::Update() {
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (FRunning)
        KillTimer(Sink(), id);
    FRunning = FEnabled && FInterval > 0 && SetTimer(Sink(), id, FInterval, nullptr) != 0;
}

void Timer::Fire() {
    // A copy, so a handler may replace OnTimer while it runs.
    if (auto handler = OnTimer)
        handler();
}

} // namespace win32
