#include "toolkit/win32/Scale.h"

#include <algorithm>
#include <cstdint>

namespace win32 {

namespace {

int gProgramDpi = USER_DEFAULT_SCREEN_DPI;

} // namespace

int ProgramDpi() {
    return gProgramDpi;
}

void SetProgramDpi(int dpi) {
    gProgramDpi = std::max(dpi, 1);
}

int Scaled(int value) {
    return MulDiv(value, gProgramDpi, USER_DEFAULT_SCREEN_DPI);
}

int Unscaled(int value) {
    return MulDiv(value, USER_DEFAULT_SCREEN_DPI, gProgramDpi);
}

RECT Unscaled(const RECT& r) {
    const int left = Unscaled(r.left);
    const int top = Unscaled(r.top);
    return {left, top, left + Unscaled(r.right - r.left), top + Unscaled(r.bottom - r.top)};
}

int ProgramPixel(int value) {
    const std::int64_t scaled = std::int64_t{value} * USER_DEFAULT_SCREEN_DPI;
    return static_cast<int>(scaled >= 0 ? scaled / gProgramDpi
                                        : -((-scaled + gProgramDpi - 1) / gProgramDpi));
}

} // namespace win32
