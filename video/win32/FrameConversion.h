#pragma once

// Pictures in the layouts decoders and files hand out, turned into the one layout the loader
// draws: 32-bit BI_RGB rows of 0x00RRGGBB. Each converter writes every target pixel once, row
// after row from the top; the target's pitch may be negative (a bottom-up DIB).

#include "base/Dib.h"

#include <cstddef>
#include <cstdint>

// 8-bit YUV layouts of decoded video, each with its chroma halved horizontally.
enum class YuvLayout {
    Nv12, // Y plane, then one plane of interleaved U, V at half height
    I420, // Y plane, then U and V planes at half width and height
    Yv12, // as I420 with V before U
    Yuy2, // packed Y0 U Y1 V, chroma at full height
};

// The matrix that turns Y'CbCr into R'G'B' (the names of the standards that define them).
enum class YuvMatrix { Bt601, Bt709, Smpte240m, Bt2020 };

// Per-value contributions of one matrix and range, in 16.16 fixed point.
struct YuvTables {
    std::int32_t y[256];
    std::int32_t rv[256], gu[256], gv[256], bu[256];
};
// Full range: Y 0-255 and chroma around 128 spanning the whole byte (JPEG); limited: Y 16-235,
// chroma 16-240 (video).
YuvTables MakeYuvTables(YuvMatrix matrix, bool fullRange);

// A decoded picture in memory: its planes start at `data`, the luma rows `pitch` bytes apart
// (chroma planes as the layout places them after `codedHeight` luma rows).
struct YuvPicture {
    YuvLayout layout = YuvLayout::Nv12;
    const std::uint8_t* data = nullptr;
    std::ptrdiff_t pitch = 0;
    int codedHeight = 0;
};

// Bytes a picture of this layout, pitch and height occupies, or -1 when the pitch is too small
// for `width`.
std::int64_t YuvPictureBytes(YuvLayout layout, std::int64_t width, std::int64_t pitch,
                             std::int64_t codedHeight);

// Converts the visible rectangle (left, top, width, height) of `picture` into rows of 32-bit
// pixels starting at `target`, `targetPitch` bytes apart.
void YuvToRgb32(const YuvPicture& picture, int left, int top, int width, int height,
                const YuvTables& tables, std::uint8_t* target, std::ptrdiff_t targetPitch);

// Converts a width x height picture of 32-bit pixels (the top row at `source`, rows
// `sourcePitch` apart) into 32-bit rows without the unused byte.
void Rgb32ToRgb32(const std::uint8_t* source, std::ptrdiff_t sourcePitch, int width, int height,
                  std::uint8_t* target, std::ptrdiff_t targetPitch);

// Converts the pixels of an uncompressed DIB (8-bit palettised, 16, 24 or 32 bits, BI_RGB or
// BI_BITFIELDS, either row order) described by `layout`, whose header starts at `header`, into
// 32-bit rows from the top. Colour masks and table are read from the header; `bits` is the
// pixel data, at least layout.imageSize bytes. False for a layout it does not take.
bool DibToRgb32(const DibLayout& layout, const std::uint8_t* header, const std::uint8_t* bits,
                std::uint8_t* target, std::ptrdiff_t targetPitch);
