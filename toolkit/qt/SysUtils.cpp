#include "toolkit/SysUtils.h"

#include "toolkit/qt/Convert.h"

#include <QFileInfo>

bool FileExists(const String& path) {
    return !path.empty() && QFileInfo(PathToQ(path)).isFile();
}

bool SameFileName(const String& a, const String& b) {
    return a == b;
}

String AnsiLowerCase(const String& text) {
    return FromQ(ToQ(text).toLower());
}
