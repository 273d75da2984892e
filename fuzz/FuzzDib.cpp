// libFuzzer target: one input is a packed DIB (header, colour table or masks, pixels) as a
// decompressor could hand it out; everything DrawDib computes from the header is checked.

#include "base/Dib.h"
#include "video/DrawTarget.h"
#include "video/VFW.h"
#include "video/VFWHandles.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The target image stays small: the draw clips, and the source offsets are what matter.
constexpr int kMaxSide = 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes pick where the picture lands on the target, the rest is the DIB.
    if (size < 2 + sizeof(BITMAPINFOHEADER))
        return 0;
    const int shiftX = std::int8_t(data[0]);
    const int shiftY = std::int8_t(data[1]);
    data += 2;
    size -= 2;

    // A copy of exactly the input's length, aligned like a decompressor's buffer, so any read
    // past the DIB's end is caught.
    std::unique_ptr<std::uint8_t[]> dib(new std::uint8_t[size]);
    std::memcpy(dib.get(), data, size);
    BITMAPINFOHEADER bi;
    std::memcpy(&bi, dib.get(), sizeof bi);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.get());

    const auto layout = DibDescribe(bi);
    const std::int64_t offset = DibBitsOffset(bi);
    if (!layout) {
        if (offset != -1)
            std::abort();
        return 0;
    }
    const DibLayout& d = *layout;
    if (offset != d.bitsOffset || d.bitsOffset < std::int64_t(bi.biSize) || d.stride % 4 != 0 ||
        d.stride * 8 < d.width * d.bitCount || d.imageSize != d.stride * d.height)
        std::abort();
    // The caller's side of the contract: the buffer holds what the header describes.
    if (d.bitsOffset > std::int64_t(size) || d.imageSize > std::int64_t(size) - d.bitsOffset)
        return 0;

    const int w = int(d.width < kMaxSide ? d.width : kMaxSide);
    const int h = int(d.height < kMaxSide ? d.height : kMaxSide);
    TDrawImage image(w, h, 0);
    if (image.Null())
        return 0;
    DrawDibPtr dd(DrawDibOpen());
    DrawDibDraw(dd.get(), &image, shiftX, shiftY, -1, -1, header, dib.get() + d.bitsOffset, 0, 0,
                -1, -1, 0);
    // The pixel data may also be left to follow the header directly.
    DrawDibDraw(dd.get(), &image, 0, 0, -1, -1, header, nullptr, shiftX & 7, shiftY & 7, -1, -1, 0);
    return 0;
}
