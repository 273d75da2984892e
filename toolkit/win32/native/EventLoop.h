#pragma once

#include <windows.h>

#include <functional>

namespace win32 {

// The thread's message loop. Tab moves between the controls of `keyboardWindow` (null: none),
// which get their own keys (the slider its arrows).
namespace EventLoop {
// Dispatches every pending message; true when it took the request to end.
bool ProcessPending(HWND keyboardWindow);
// Waits for messages and dispatches them until the request to end or until `stop` says so after
// a message; true when it ended on the request.
bool Run(HWND keyboardWindow, const std::function<bool()>& stop);
// Posts the request to end; whichever loop takes it reports it.
void PostQuit();
} // namespace EventLoop

} // namespace win32
