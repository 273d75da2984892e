#pragma once

#include <windows.h>

#include <functional>

namespace win32 {

// The thread's message loop. Tab and Shift+Tab pressed in a window go to its top-level window as
// NextControlMessage() (wParam 0 for Tab, 1 for Shift+Tab), which moves the focus among its
// controls itself: some of them are drawn by their panel, not windows the dialog manager could
// reach. A top-level window that does not answer it (0) gets the key as it came.
namespace EventLoop {
// Dispatches every pending message; true when it took the request to end.
bool ProcessPending();
// Waits for messages and dispatches them until the request to end or until `stop` says so after
// a message; true when it ended on the request.
bool Run(const std::function<bool()>& stop);
// Posts the request to end; whichever loop takes it reports it.
void PostQuit();
UINT NextControlMessage();
} // namespace EventLoop

} // namespace win32
