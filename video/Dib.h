#pragma once

// Layout arithmetic of device-independent bitmaps. Every size is computed in 64 bits and
// checked, because the headers come from files.

#include "VFW.h"

#include <cstdint>
#include <optional>

struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows, always positive
    bool topDown = false;    // negative biHeight: first row in memory is the top row
    int bitCount = 0;
    DWORD compression = BI_RGB;
    std::int64_t colours = 0;     // entries of the colour table
    std::int64_t tableOffset = 0; // from the header start
    std::int64_t bitsOffset = 0;  // from the header start
    std::int64_t stride = 0;      // bytes per row, a multiple of 4
    std::int64_t imageSize = 0;   // stride * height
};

// Largest pixel array we accept: anything bigger is not a frame of a scene.
constexpr std::int64_t kMaxDibImageBytes = std::int64_t{1} << 30;
// Colour masks live here in every header version (after a 40-byte header, or inside V2+ ones).
constexpr std::int64_t kDibMaskOffset = 40;

// Bytes per row of a DIB, rounded up to 4; -1 for a width or bit count out of range.
std::int64_t DibStride(std::int64_t width, int bitCount);
// The layout of a DIB that can be drawn safely (uncompressed 1/4/8/16/24/32 bits, or 16/32 with
// BI_BITFIELDS), or nothing.
std::optional<DibLayout> DibDescribe(const BITMAPINFOHEADER& bi);
