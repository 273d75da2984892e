#pragma once

#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>

namespace win32 {

// The file-open dialog: no filter, no title, no initial folder, the previous choice pre-filled.
// Empty when the user cancels.
std::optional<std::string> OpenFileDialog(HWND owner, const std::string& previous);

// What OpenFileDialog hands the system; `buffer` receives the choice.
OPENFILENAMEW OpenFileDialogSettings(HWND owner, std::wstring& buffer, const std::string& previous);

} // namespace win32
