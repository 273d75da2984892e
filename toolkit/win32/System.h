#pragma once

// The timer, the message and error boxes, and the open dialog on the system's own calls.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

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

// A modal box with one OK button, owned by `owner` (blocked meanwhile) or by nobody. Timer ticks
// and painting go on while it is open.
void ShowMessageBox(HWND owner, const std::string& title, const std::string& text);
// The same with the stop icon.
void ShowErrorBox(HWND owner, const std::string& title, const std::string& text);

// The file-open dialog: no filter, no title, no initial folder, the previous choice pre-filled.
// Empty when the user cancels.
std::optional<std::string> OpenFileDialog(HWND owner, const std::string& previous);

// What OpenFileDialog hands the system; `buffer` receives the choice.
OPENFILENAMEW OpenFileDialogSettings(HWND owner, std::wstring& buffer, const std::string& previous);

} // namespace win32
