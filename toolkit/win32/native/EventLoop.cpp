#include "toolkit/win32/native/EventLoop.h"

namespace win32 {

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

} // namespace win32
