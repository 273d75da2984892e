#include "toolkit/Startup.h"

#include <algorithm>
#include <cmath>

double FittingScale(double current, int availableWidth, int availableHeight, int minWidth,
                    int minHeight) {
    const auto fits = [&](double scale) {
        return minWidth * scale <= availableWidth && minHeight * scale <= availableHeight;
    };
    if (fits(current) || current <= 1.0 || minWidth <= 0 || minHeight <= 0)
        return current;
    const double largest =
        std::min(double(availableWidth) / minWidth, double(availableHeight) / minHeight);
    // Quarter steps, as desktops offer them (125 %, 150 % ...).
    return std::clamp(std::floor(largest * 4.0) / 4.0, 1.0, current);
}

bool WriteBytes(std::FILE* file, const String& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fflush(file) == 0 && written && std::ferror(file) == 0;
}
