#pragma once

#include <algorithm>
#include <cstring>
#include <string>

// A path the build gives in the Linux way ("Z:/work/..."), as Windows calls want it: wide, with
// backslashes (LoadLibraryW and command lines take no forward slashes).
inline std::wstring WindowsPath(const char* path) {
    std::wstring p(path, path + std::strlen(path));
    std::replace(p.begin(), p.end(), L'/', L'\\');
    return p;
}
