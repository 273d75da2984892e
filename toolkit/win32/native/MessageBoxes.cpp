#include "toolkit/win32/native/MessageBoxes.h"

#include "toolkit/win32/Text.h"

namespace win32 {

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

} // namespace win32
