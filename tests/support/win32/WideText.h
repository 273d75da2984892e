#pragma once

// Text between the tests' UTF-8 and the wide Windows calls, by base's one conversion.

#include "base/Unicode.h"

#include <algorithm>
#include <string>
#include <string_view>

inline std::wstring Wide(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Utf8(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// A path the build gives in the Linux way ("Z:/work/..."), as Windows calls want it: wide, with
// backslashes (LoadLibraryW and command lines take no forward slashes).
inline std::wstring WindowsPath(const char* path) {
    std::wstring p = Wide(path);
    std::replace(p.begin(), p.end(), L'/', L'\\');
    return p;
}
