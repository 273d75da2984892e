#pragma once

// The standard streams of a program that has no console of its own.

#include <cstdio>
#include <string>

#include <windows.h>

namespace win32 {

// Writes UTF-8 `text` to the standard stream `which` (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE),
// whose C stream is `file`; false when it could not be written. A console gets the text as
// characters, whatever its code page. Without a handle of its own (a program of the GUI
// subsystem started from a prompt) the text goes to the console of the program's parent, if
// it has one. A file or pipe gets the bytes through `file`.
bool WriteStandard(DWORD which, std::FILE* file, const std::string& text);

} // namespace win32
