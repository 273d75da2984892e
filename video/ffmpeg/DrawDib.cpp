// DrawDib into a drawing target: draws a DIB 1:1 into the target's 32-bit pixels.

#include "DibBuffer.h"
#include "VFW.h"
#include "base/Dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

struct DRAWDIB {
    static constexpr std::uint32_t kAlive = 0x44524442; // 'DRDB'
    std::uint32_t magic = kAlive;
};

namespace {

bool Valid(HDRAWDIB hdd) {
    return hdd && hdd->magic == DRAWDIB::kAlive;
}

std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// An opaque pixel of a drawing target: blue, green, red, 0xff in memory.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xff000000u | r << 16 | g << 8 | b;
}

// One colour channel of a BI_BITFIELDS pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    // Only contiguous masks within the pixel are valid.
    bool Set(std::uint32_t m, int bitCount) {
        if (m == 0 || (bitCount < 32 && (m >> bitCount) != 0))
            return false;
        mask = m;
        shift = std::countr_zero(m);
        const std::uint32_t bits = m >> shift;
        if ((bits & (bits + 1)) != 0)
            return false;
        max = bits;
        return true;
    }
    std::uint32_t Get(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & mask) >> shift;
        return std::uint32_t((std::uint64_t{v} * 255 + max / 2) / max);
    }
};

struct Source {
    const DibLayout* layout = nullptr;
    const std::uint8_t* bits = nullptr;
    std::array<std::uint32_t, 256> palette{};
    Channel red, green, blue;
};

// Converts pixels [x0, x0 + n) of one DIB row to opaque 32-bit pixels.
void ConvertRow(const Source& s, const std::uint8_t* row, std::int64_t x0, std::int64_t n,
                std::uint32_t* out) {
    const DibLayout& d = *s.layout;
    switch (d.bitCount) {
    case 32:
        if (d.compression == BI_RGB) {
            // One pass: the fourth byte of a DIB pixel is not alpha.
            const std::uint8_t* in = row + 4 * x0;
            for (std::int64_t i = 0; i < n; ++i)
                out[i] = Load32(in + 4 * i) | 0xff000000u;
            return;
        }
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint32_t p = Load32(row + 4 * (x0 + i));
            out[i] = Rgb(s.red.Get(p), s.green.Get(p), s.blue.Get(p));
        }
        return;
    case 24:
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 3 * (x0 + i);
            out[i] = Rgb(p[2], p[1], p[0]);
        }
        return;
    case 16:
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint8_t* p = row + 2 * (x0 + i);
            const std::uint32_t v = std::uint32_t(p[0] | p[1] << 8);
            out[i] = Rgb(s.red.Get(v), s.green.Get(v), s.blue.Get(v));
        }
        return;
    default: { // 1, 4 or 8 bits: indices into the colour table, most significant bits first
        const int bits = d.bitCount;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t x = x0 + i;
            const int shift = 8 - bits * int(x % perByte + 1);
            out[i] = s.palette[(row[x / perByte] >> shift) & mask];
        }
        return;
    }
    }
}

bool PrepareSource(const BITMAPINFOHEADER* lpbi, const DibLayout& d, Source& s) {
    const auto* header = reinterpret_cast<const std::uint8_t*>(lpbi);
    if (d.compression == BI_BITFIELDS) {
        if (!s.red.Set(Load32(header + kDibMaskOffset), d.bitCount) ||
            !s.green.Set(Load32(header + kDibMaskOffset + 4), d.bitCount) ||
            !s.blue.Set(Load32(header + kDibMaskOffset + 8), d.bitCount))
            return false;
    } else if (d.bitCount == 16) {
        s.red.Set(0x7c00, 16); // the 5-5-5 layout of plain 16-bit DIBs
        s.green.Set(0x03e0, 16);
        s.blue.Set(0x001f, 16);
    }
    if (d.bitCount <= 8) {
        // Indices beyond the table draw black.
        s.palette.fill(Rgb(0, 0, 0));
        for (std::int64_t i = 0; i < d.colours; ++i) {
            const std::uint8_t* q = header + d.tableOffset + 4 * i;
            s.palette[std::size_t(i)] = Rgb(q[2], q[1], q[0]);
        }
    }
    return true;
}

// A negative extent stands for the whole picture.
std::int64_t Extent(int given, std::int64_t whole) {
    return given < 0 ? whole : given;
}

} // namespace

HDRAWDIB DrawDibOpen() {
    return new (std::nothrow) DRAWDIB;
}

BOOL DrawDibClose(HDRAWDIB hdd) {
    if (!Valid(hdd))
        return false;
    hdd->magic = 0;
    delete hdd;
    return true;
}

BOOL DrawDibStart(HDRAWDIB hdd, DWORD) {
    return Valid(hdd);
}
BOOL DrawDibStop(HDRAWDIB hdd) {
    return Valid(hdd);
}
BOOL DrawDibEnd(HDRAWDIB hdd) {
    return Valid(hdd);
}
UINT DrawDibRealize(HDRAWDIB, TDrawTarget*, BOOL) {
    return 0;
} // true colour: no palette to realise

BOOL DrawDibBegin(HDRAWDIB hdd, TDrawTarget*, int, int, const BITMAPINFOHEADER* lpbi, int, int,
                  UINT) {
    return Valid(hdd) && (!lpbi || DibDescribe(*lpbi).has_value());
}

BOOL DrawDibDraw(HDRAWDIB hdd, TDrawTarget* hdc, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* lpbi, const void* lpBits, int xSrc, int ySrc, int dxSrc,
                 int dySrc, UINT) {
    if (!Valid(hdd) || !hdc || !lpbi)
        return false;
    const auto layout = DibDescribe(*lpbi);
    if (!layout)
        return false;
    const DibLayout& d = *layout;

    const std::int64_t sw = Extent(dxSrc, d.width);
    const std::int64_t sh = Extent(dySrc, d.height);
    if (Extent(dxDst, sw) != sw || Extent(dyDst, sh) != sh)
        return false; // no stretching

    // A whole picture of the decompressor onto a bitmap of its size: the bitmap takes it over.
    const auto* header = reinterpret_cast<const std::uint8_t*>(lpbi);
    if (xDst == 0 && yDst == 0 && xSrc == 0 && ySrc == 0 && sw == d.width && sh == d.height &&
        hdc->TargetWidth() == d.width && hdc->TargetHeight() == d.height && d.bitCount == 32 &&
        d.compression == BI_RGB && d.topDown && d.colours == 0 &&
        (!lpBits || lpBits == header + d.bitsOffset) && HandOverPicture(lpbi, *hdc))
        return true;

    // A target without pixels (no size yet, or no memory for them) takes no drawing.
    const TDrawPixels pixels = hdc->TargetPixels();
    if (!pixels.bits)
        return false;

    // Clip the source rectangle to the picture, then the destination to the image.
    std::int64_t x0 = std::max<std::int64_t>(xSrc, 0);
    std::int64_t y0 = std::max<std::int64_t>(ySrc, 0);
    std::int64_t x1 = std::min<std::int64_t>(std::int64_t{xSrc} + sw, d.width);
    std::int64_t y1 = std::min<std::int64_t>(std::int64_t{ySrc} + sh, d.height);
    const std::int64_t dx = std::int64_t{xDst} - xSrc; // destination = source + (dx, dy)
    const std::int64_t dy = std::int64_t{yDst} - ySrc;
    x0 = std::max<std::int64_t>(x0, -dx);
    y0 = std::max<std::int64_t>(y0, -dy);
    x1 = std::min<std::int64_t>(x1, hdc->TargetWidth() - dx);
    y1 = std::min<std::int64_t>(y1, hdc->TargetHeight() - dy);
    if (x0 >= x1 || y0 >= y1)
        return true; // nothing of it falls on the image

    Source s;
    s.layout = &d;
    s.bits = lpBits ? static_cast<const std::uint8_t*>(lpBits)
                    : reinterpret_cast<const std::uint8_t*>(lpbi) + d.bitsOffset;
    if (!PrepareSource(lpbi, d, s))
        return false;

    for (std::int64_t y = y0; y < y1; ++y) {
        const std::int64_t stored = d.topDown ? y : d.height - 1 - y;
        const std::uint8_t* row = s.bits + stored * d.stride;
        auto* out = reinterpret_cast<std::uint32_t*>(pixels.bits + (y + dy) * pixels.stride);
        ConvertRow(s, row, x0, x1 - x0, out + (x0 + dx));
    }
    return true;
}
