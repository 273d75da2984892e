#include "toolkit/win32/System.h"

#include "toolkit/win32/Text.h"

#include <commdlg.h>

#include <set>

namespace win32 {

namespace {

// The timers alive: a WM_TIMER already taken from the queue may name one that is gone.
std::set<Timer*>& LiveTimers() {
    static std::set<Timer*> timers;
    return timers;
}

// Long enough for long paths (\\?\ and beyond MAX_PATH).
constexpr std::size_t FileNameCapacity = 32768;

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

namespace {

void Dispatch(HWND keyboardWindow, MSG& msg) {
    if (keyboardWindow && IsDialogMessageW(keyboardWindow, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace

bool EventLoop::ProcessPending(HWND keyboardWindow) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return true;
        Dispatch(keyboardWindow, msg);
    }
    return false;
}

bool EventLoop::Run(HWND keyboardWindow, const std::function<bool()>& stop) {
    MSG msg;
    while (!(stop && stop())) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            return true;
        if (got < 0)
            return false; // cannot happen with these arguments; never spin on it
        Dispatch(keyboardWindow, msg);
    }
    return false;
}

void EventLoop::PostQuit() {
    PostQuitMessage(0);
}

namespace {

void Box(HWND owner, const std::string& title, const std::string& text, UINT flags) {
    // Without an owner the box blocks this thread's other windows all the same.
    MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(),
                flags | MB_SETFOREGROUND | (owner ? 0u : UINT(MB_TASKMODAL)));
}

} // namespace

void ShowMessageBox(HWND owner, const std::string& title, const std::string& text) {
    Box(owner, title, text, MB_OK);
}

void ShowErrorBox(HWND owner, const std::string& title, const std::string& text) {
    Box(owner, title, text, MB_OK | MB_ICONSTOP);
}

OPENFILENAMEW OpenFileDialogSettings(HWND owner, std::wstring& buffer,
                                     const std::string& previous) {
    buffer.assign(FileNameCapacity, L'\0');
    const std::wstring wide = Widen(previous);
    if (wide.size() < FileNameCapacity)
        buffer.replace(0, wide.size(), wide);
    OPENFILENAMEW settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = owner;
    settings.lpstrFile = buffer.data();
    settings.nMaxFile = static_cast<DWORD>(buffer.size());
    settings.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    return settings;
}

std::optional<std::string> OpenFileDialog(HWND owner, const std::string& previous) {
    std::wstring buffer;
    OPENFILENAMEW settings = OpenFileDialogSettings(owner, buffer, previous);
    if (!GetOpenFileNameW(&settings))
        return std::nullopt;
    return Narrow(buffer.c_str());
}

} // namespace win32
