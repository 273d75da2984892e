#pragma once

// Layout rules of device-independent bitmaps (DIBs): the info header, bytes per row, colour
// table, where the pixels start. Every size is computed in 64 bits and checked, because the
// headers come from files.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// The info header at the start of a DIB, little-endian in files and in memory. Its fields keep
// their published names; the video layer offers it as BITMAPINFOHEADER.
struct DibHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight; // positive: the bottom row is stored first
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40);
static_assert(offsetof(DibHeader, biBitCount) == 14);
static_assert(offsetof(DibHeader, biCompression) == 16);
static_assert(offsetof(DibHeader, biClrUsed) == 32);
static_assert(offsetof(DibHeader, biClrImportant) == 36);

constexpr std::uint32_t kDibHeaderSize = sizeof(DibHeader);
constexpr std::uint32_t kDibRgb = 0;       // uncompressed
constexpr std::uint32_t kDibBitFields = 3; // uncompressed, channels given by colour masks

// Largest pixel array we accept: anything bigger is not a frame of a scene.
constexpr std::int64_t kMaxDibImageBytes = std::int64_t{1} << 30;
// Largest picture a video back end decodes, whatever the file claims: every system refuses the
// same scenes.
constexpr int kMaxFrameSide = 16384;
constexpr std::int64_t kMaxFramePixels = std::int64_t{64} << 20;
constexpr bool FrameSizeAllowed(std::int64_t w, std::int64_t h) {
    return w > 0 && h > 0 && w <= kMaxFrameSide && h <= kMaxFrameSide && w * h <= kMaxFramePixels;
}
// Colour masks live here in every header version (after a 40-byte header, or inside V2+ ones).
constexpr std::int64_t kDibMaskOffset = 40;

struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows, always positive
    bool topDown = false;    // negative biHeight: first row in memory is the top row
    int bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::int64_t colours = 0;     // entries of the colour table
    std::int64_t tableOffset = 0; // from the header start
    std::int64_t bitsOffset = 0;  // from the header start
    std::int64_t stride = 0;      // bytes per row, a multiple of 4
    std::int64_t imageSize = 0;   // stride * height
};

// Bytes per row of a DIB, rounded up to 4; -1 for a width or bit count out of range.
std::int64_t DibStride(std::int64_t width, int bitCount);
// The layout of a DIB that can be drawn safely (uncompressed 1/4/8/16/24/32 bits, or 16/32 with
// bit-field masks), or nothing.
std::optional<DibLayout> DibDescribe(const DibHeader& bi);
// Offset of the pixels from the start of the header (after colour table or masks); -1 when the
// DIB cannot be drawn.
std::int64_t DibBitsOffset(const DibHeader& bi);

// The header of an uncompressed DIB with `colours` table entries, its image size worked out from
// the rows (0 when the bit count has no row size).
DibHeader UncompressedDibHeader(std::int32_t width, std::int32_t height, int bitCount,
                                std::uint32_t colours = 0);
// The header as a file stores it, and back from the first kDibHeaderSize bytes of a file.
std::array<std::uint8_t, kDibHeaderSize> DibHeaderBytes(const DibHeader& bi);
DibHeader DibHeaderFromBytes(const std::uint8_t* bytes);
