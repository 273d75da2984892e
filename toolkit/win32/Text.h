#pragma once

// UTF-8 at the toolkit's interface, UTF-16 at the system's wide calls.

#include <optional>
#include <string>
#include <vector>

namespace win32 {

// The conversions of base/Unicode.h for the wide calls. Text to show: what is not UTF-8 becomes
// U+FFFD.
std::wstring Widen(const std::string& text);
// A file's or a resource's name: nullopt when it is not UTF-8 or holds a NUL, so that a broken
// name names no other file.
std::optional<std::wstring> WidenName(const std::string& name);
// An unpaired surrogate (possible in a Windows file name) becomes U+FFFD.
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

// The process's arguments 1 ... N, split by the system's own rules, in UTF-8.
std::vector<std::string> CommandLineArguments();
// The same split of a given command line (its first word is the program).
std::vector<std::string> SplitCommandLine(const std::wstring& commandLine);

} // namespace win32
