#include "toolkit/win32/native/EventLoop.h"

namespace win32 {

namespace {

bool Held(int key) {
    return GetKeyState(key) < 0;
}

// Tab without Ctrl or Alt (the state of the keys when the message was taken from the queue).
bool MovedFocus(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || Held(VK_CONTROL) || Held(VK_MENU))
        return false;
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    return top && SendMessageW(top, EventLoop::NextControlMessage(), Held(VK_SHIFT) ? 1 : 0, 0);
}

void Dispatch(MSG& msg) {
    if (MovedFocus(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace

UINT EventLoop::NextControlMessage() {
    static const UINT message = RegisterWindowMessageW(L"Reelstand.NextControl");
    return message;
}

bool EventLoop::ProcessPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return true;
        Dispatch(msg);
    }
    return false;
}

bool EventLoop::Run(const std::function<bool()>& stop) {
    MSG msg;
    while (!(stop && stop())) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            return true;
        if (got < 0)
            return false; // cannot happen with these arguments; never spin on it
        Dispatch(msg);
    }
    return false;
}

void EventLoop::PostQuit() {
    PostQuitMessage(0);
}

} // namespace win32
