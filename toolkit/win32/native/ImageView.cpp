#include "toolkit/win32/native/ImageView.h"

#include "base/Dib.h"

#include <algorithm>
#include <cstring>

namespace win32 {

BITMAPINFO TopDownInfo(int width, int height) {
    static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibHeader));
    BITMAPINFO info{};
    const DibHeader header = UncompressedDibHeader(width, -height, 32);
    std::memcpy(&info.bmiHeader, &header, sizeof header);
    return info;
}

void ImageView::SetPixels(const std::uint32_t* bits, int width, int height) {
    FBits = width > 0 && height > 0 ? bits : nullptr;
    FWidth = width;
    FHeight = height;
    Invalidate();
}

void ImageView::Paint(HDC dc) {
    if (!FBits)
        return;
    // The part of the bitmap that reaches into the bounds, and where it lands.
    const int scaledWidth = MulDiv(FWidth, FDpi, USER_DEFAULT_SCREEN_DPI);
    const int scaledHeight = MulDiv(FHeight, FDpi, USER_DEFAULT_SCREEN_DPI);
    const int width = std::min(scaledWidth, Width());
    const int height = std::min(scaledHeight, Height());
    if (width <= 0 || height <= 0)
        return;
    const int sourceWidth = MulDiv(width, USER_DEFAULT_SCREEN_DPI, FDpi);
    const int sourceHeight = MulDiv(height, USER_DEFAULT_SCREEN_DPI, FDpi);
    const BITMAPINFO info = TopDownInfo(FWidth, FHeight);
    // Whole multiples copy pixels; other scales filter, so that no row or column is dropped.
    const bool whole = FDpi % USER_DEFAULT_SCREEN_DPI == 0;
    const int oldMode = SetStretchBltMode(dc, whole ? COLORONCOLOR : HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, sourceWidth, sourceHeight, FBits, &info,
                  DIB_RGB_COLORS, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

void ImageView::SetDpi(int dpi) {
    FDpi = std::max(dpi, 1);
    Invalidate();
}

void ImageView::MouseDown(MouseButton button, unsigned shift, int x, int y) {
    if (auto handler = OnMouseDown)
        handler(button, shift, x, y);
}

void ImageView::MouseMove(unsigned shift, int x, int y) {
    if (auto handler = OnMouseMove)
        handler(shift, x, y);
}

void ImageView::MouseUp(MouseButton button, unsigned shift, int x, int y) {
    if (auto handler = OnMouseUp)
        handler(button, shift, x, y);
}

void ImageView::DblClick(MouseButton button, unsigned shift, int x, int y) {
    if (auto handler = OnDblClick)
        handler(button, shift, x, y);
}

void ImageView::MouseLeave() {
    if (auto handler = OnMouseLeave)
        handler();
}

} // namespace win32
