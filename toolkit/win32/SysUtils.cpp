#include "toolkit/SysUtils.h"

#include "toolkit/win32/Text.h"

#include <windows.h>

bool FileExists(const String& path) {
    const auto name = win32::WidenName(path);
    if (!name || name->empty())
        return false;
    const DWORD attributes = GetFileAttributesW(name->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFileName(const String& a, const String& b) {
    const std::wstring wa = win32::Widen(a), wb = win32::Widen(b);
    return CompareStringOrdinal(wa.c_str(), int(wa.size()), wb.c_str(), int(wb.size()), TRUE) ==
           CSTR_EQUAL;
}

String AnsiLowerCase(const String& text) {
    std::wstring wide = win32::Widen(text);
    if (!wide.empty())
        CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return win32::Narrow(wide);
}
