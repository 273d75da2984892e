#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// A modal box with one OK button, owned by `owner` (blocked meanwhile) or by nobody. Timer ticks
// and painting go on while it is open.
void ShowMessageBox(HWND owner, const std::string& title, const std::string& text);
// The same with the stop icon.
void ShowErrorBox(HWND owner, const std::string& title, const std::string& text);

} // namespace win32
