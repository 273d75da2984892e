#pragma once

#include "toolkit/win32/native/Panel.h"

#include <cstdint>
#include <functional>

namespace win32 {

// The one pixel format of our pixels: 32 bits of 0x00RRGGBB, rows top-down.
BITMAPINFO TopDownInfo(int width, int height);

// Shows pixels (not owned; 32-bit 0x00RRGGBB rows, top-down, without gaps) 1:1 at its top-left
// corner, clipped to its bounds, drawing nothing where the bitmap does not reach. The pointer is
// passed on as it comes: the rules of a click belong to the owner.
class ImageView : public GraphicControl {
public:
    using GraphicControl::GraphicControl;

    // nullptr shows nothing.
    void SetPixels(const std::uint32_t* bits, int width, int height);
    const std::uint32_t* Pixels() const { return FBits; }
    // The monitor's dots per inch: at 192 each bitmap pixel becomes 2 x 2 pixels, at 144 the
    // bitmap is scaled by 1.5 with halftone filtering. Bounds are in the monitor's pixels.
    void SetDpi(int dpi);

    std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseDown;
    // In place of the second press of a double click.
    std::function<void(MouseButton, unsigned shift, int x, int y)> OnDblClick;
    std::function<void(unsigned shift, int x, int y)> OnMouseMove;
    std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseUp;
    std::function<void()> OnMouseLeave;

protected:
    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseMove(unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
    void DblClick(MouseButton button, unsigned shift, int x, int y) override;
    void MouseLeave() override;

private:
    const std::uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    int FDpi = USER_DEFAULT_SCREEN_DPI;
};

} // namespace win32
