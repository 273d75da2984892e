// Loaded into a running reelstand.exe by GdiOpensTest (CreateRemoteThread on LoadLibraryW): the
// GDI objects of a process can only be counted from inside it under Wine. Each export is a
// thread procedure the test starts in the program, with the form's window as its argument.

#include "GdiCount.h"

#include <windows.h>

#include <shlobj.h> // DROPFILES

#include <cstring>

namespace {

WNDPROC original = nullptr;
UINT countMessage = 0;

// Counts on the window's own thread, between two of its messages, so that nothing the program
// draws or loads is half made.
LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == countMessage && countMessage != 0)
        return static_cast<LRESULT>(GdiObjectCount());
    return CallWindowProcW(original, window, message, wParam, lParam);
}

} // namespace

// Returns the program's GDI object count, or 0 when the window does not answer within a minute.
extern "C" __declspec(dllexport) DWORD WINAPI RsGdiCount(void* window) {
    const auto form = static_cast<HWND>(window);
    if (!original) {
        countMessage = RegisterWindowMessageW(L"RsGdiCount");
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
    }
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(form, countMessage, 0, 0, SMTO_NORMAL, 60000, &count))
        return 0;
    return static_cast<DWORD>(count);
}

// The request the test writes into the program: the form and the file to drop on it.
struct RsDrop {
    HWND form;
    wchar_t path[MAX_PATH];
};

// Drops the file on the form as Explorer does (WM_DROPFILES with a DROPFILES block the window
// frees with DragFinish). 1 when the window took it, 0 otherwise.
extern "C" __declspec(dllexport) DWORD WINAPI RsDropFile(void* request) {
    const auto* drop = static_cast<const RsDrop*>(request);
    const std::size_t chars = wcslen(drop->path);
    // The name list ends with an empty name.
    const std::size_t size = sizeof(DROPFILES) + (chars + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory)
        return 0;
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), drop->path,
                chars * sizeof(wchar_t));
    GlobalUnlock(memory);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(drop->form, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0,
                             SMTO_NORMAL, 60000, &result))
        return 0;
    return 1;
}
