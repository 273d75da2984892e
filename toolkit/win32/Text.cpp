#include "toolkit/win32/Text.h"

#include <windows.h>

#include <shellapi.h>

#include <climits>

namespace win32 {

std::wstring Widen(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string Narrow(const wchar_t* text) {
    return text ? Narrow(std::wstring(text)) : std::string();
}

std::vector<std::string> SplitCommandLine(const std::wstring& commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    // An empty line would make the system report the running program's path as the first word.
    if (commandLine.empty())
        return arguments;
    LPWSTR* words = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!words)
        return arguments;
    // An empty quoted argument is dropped, as on Linux.
    for (int i = 1; i < count; ++i)
        if (words[i][0] != L'\0')
            arguments.push_back(Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

std::vector<std::string> CommandLineArguments() {
    return SplitCommandLine(GetCommandLineW());
}

} // namespace win32
