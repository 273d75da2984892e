#pragma once

// UTF-8 at the toolkit's interface, UTF-16 at the system's wide calls.

#include <string>
#include <vector>

namespace win32 {

// Invalid UTF-8 becomes U+FFFD, so a broken name fails to open rather than opening another file.
std::wstring Widen(const std::string& text);
// An unpaired surrogate (possible in a Windows file name) becomes U+FFFD.
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

// The process's arguments 1 ... N, split by the system's own rules, in UTF-8.
std::vector<std::string> CommandLineArguments();
// The same split of a given command line (its first word is the program).
std::vector<std::string> SplitCommandLine(const std::wstring& commandLine);

} // namespace win32
