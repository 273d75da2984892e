#pragma once

#include "toolkit/Types.h"
#include "toolkit/qt/Convert.h"

#include <QFont>

// The character height is in pixels, as the window definition gives it.
inline QFont ToQFont(const TFont& font) {
    QFont result(ToQ(font.Name));
    result.setPixelSize(font.Height);
    result.setBold(font.Bold);
    result.setUnderline(font.Underline);
    return result;
}
