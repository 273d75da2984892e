#pragma once

// Converts one decoded frame into the packed DIB the decompressor hands out: 32-bit top-down
// pixels (opaque, as a bitmap keeps them), or palette frames as 8-bit DIBs with their table.

#include "DibBuffer.h"
#include "FFmpegPtr.h"

#include <cstdint>
#include <memory>

// A converted picture. 32-bit ones get a buffer of their own each, which a bitmap may take over
// (it is reused only when nobody took it); palette ones, and 32-bit ones when no such buffer can
// be had, go to reused memory, where the header sits so that 32-bit pixels start on a 64-byte
// boundary, which swscale's vector code likes.
struct ConvertedDib {
    std::shared_ptr<DibBuffer> own;
    AvBytes bytes;
    std::size_t capacity = 0;
    std::uint8_t* header = nullptr;
    bool Reserve(std::int64_t size);
    std::uint8_t* Reused() const { return bytes.get() + kLead; }
    // Small pictures are cheaper to copy than to keep on pages of their own, and the worker
    // would take them from a heap of its thread, beyond the reach of the memory check.
    bool Offerable() const {
        return own && own->Mapped() && header == reinterpret_cast<std::uint8_t*>(own->Header());
    }
    static constexpr std::size_t kLead = 24;
    static constexpr std::size_t kSlack = 64; // vector code may write a little past a row
};

class FrameConverter {
public:
    // 32-bit pictures are written to spare buffers where there are some of their size.
    explicit FrameConverter(DibSpares& spares) : FSpares(spares) {}

    // Writes `frame` into `dib`; false when it cannot be shown (no size we accept, no memory, a
    // pixel format swscale cannot convert).
    bool Convert(const AVFrame& frame, ConvertedDib& dib);

private:
    bool ConvertPalette(const AVFrame& frame, ConvertedDib& dib);
    bool PlaceRgb(ConvertedDib& dib, std::int64_t imageBytes);
    SwsContext* Scaler(const AVFrame& frame);

    DibSpares& FSpares;
    // What FSws converts. swscale's own cache compares a request with what it made of the last
    // one (full-range formats become their plain twins, RGB sources gain a flag), so it built a
    // new context for every MJPEG or raw frame.
    struct SwsKey {
        int width = 0;
        int height = 0;
        int format = AV_PIX_FMT_NONE;
        int colourSpace = -1;
        int range = -1;
        bool operator==(const SwsKey&) const = default;
    };
    SwsPtr FSws;
    SwsKey FSwsKey;
};
