#include "toolkit/Application.h"

#include "toolkit/win32/native/EventLoop.h"
#include "toolkit/win32/native/MessageBoxes.h"

// The end request is the thread's WM_QUIT: whichever loop takes it reports it.
struct TApplication::Peer {};

TApplication::TApplication(const String& exePath)
    : FTitle(TitleFromExeName(exePath)), FPeer(std::make_unique<Peer>()) {}

TApplication::~TApplication() = default;

void TApplication::RunBox(TBoxKind kind, const String& text) {
    // Owned by the program's active window, which the box blocks while it is open.
    HWND owner = GetActiveWindow();
    if (kind == TBoxKind::Error)
        win32::ShowErrorBox(owner, FTitle, text);
    else
        win32::ShowMessageBox(owner, FTitle, text);
}

void TApplication::ProcessMessages() {
    if (win32::EventLoop::ProcessPending())
        FTerminated = true;
}

void TApplication::Terminate() {
    win32::EventLoop::PostQuit();
}

void TApplication::RunLoop() {
    if (FTerminated)
        return;
    if (win32::EventLoop::Run([this] { return FTerminated; }))
        FTerminated = true;
}
