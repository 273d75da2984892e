// The parts of the driving API that need nothing of a back end.

#include "Ui.h"

#include "toolkit/Graphics.h"

#include <cstring>

namespace ui {

// Written through the canvas, as DrawDib draws.
void SetPixels(TBitmap& bitmap, const TPixels& pixels) {
    bitmap.SetSize(pixels.Width, pixels.Height);
    const TDrawPixels target = bitmap.Canvas()->Handle()->TargetPixels();
    for (int y = 0; target.bits && y < pixels.Height; ++y)
        std::memcpy(target.bits + y * target.stride,
                    pixels.Data.data() + std::size_t(y) * std::size_t(pixels.Width),
                    std::size_t(pixels.Width) * 4);
    bitmap.Changed();
}

void Fill(TBitmap& bitmap, int width, int height, TColor colour) {
    SetPixels(bitmap, {width, height,
                       std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height),
                                                  std::uint32_t(colour) & 0x00FFFFFFu)});
}

} // namespace ui
