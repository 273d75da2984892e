#include "video/DrawTarget.h"

#include <new>
#include <stdexcept>

TDrawImage::TDrawImage(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0)
        return;
    try {
        FPixels.assign(std::size_t(width) * std::size_t(height), fill);
    } catch (const std::bad_alloc&) {
        return;
    } catch (const std::length_error&) {
        return;
    }
    FWidth = width;
    FHeight = height;
}

TDrawPixels TDrawImage::TargetPixels() {
    if (Null())
        return {};
    return {reinterpret_cast<std::uint8_t*>(FPixels.data()), std::int64_t{FWidth} * 4};
}
