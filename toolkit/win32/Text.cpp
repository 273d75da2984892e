#include "toolkit/win32/Text.h"

#include "base/Unicode.h"

#include <windows.h>

#include <shellapi.h>

namespace win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "a wide character is a UTF-16 unit");

std::wstring Widen(const std::string& text) {
    const std::u16string wide = Utf8ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::optional<std::wstring> WidenName(const std::string& name) {
    const auto wide = Utf16Name(name);
    if (!wide)
        return std::nullopt;
    return std::wstring(wide->begin(), wide->end());
}

std::string Narrow(const std::wstring& text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
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
