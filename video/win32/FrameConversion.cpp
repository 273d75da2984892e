#include "FrameConversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

struct Weights {
    double kr, kb; // the luma weights of red and blue
};

Weights WeightsOf(YuvMatrix matrix) {
    switch (matrix) {
    case YuvMatrix::Bt709:
        return {0.2126, 0.0722};
    case YuvMatrix::Smpte240m:
        return {0.212, 0.087};
    case YuvMatrix::Bt2020:
        return {0.2627, 0.0593};
    case YuvMatrix::Bt601:
        break;
    }
    return {0.299, 0.114};
}

std::int32_t Fixed(double v) {
    return std::int32_t(std::lround(v * 65536.0));
}

// Sums in 16.16 fixed point to bytes, clamped, by a table: -512 to 767 covers every sum the
// tables can give.
struct ClampTable {
    std::uint8_t value[1280];
    ClampTable() {
        for (int i = 0; i < 1280; ++i)
            value[i] = std::uint8_t(std::clamp(i - 512, 0, 255));
    }
    std::uint32_t operator()(std::int32_t sum) const { return value[(sum >> 16) + 512]; }
};
const ClampTable kClamp;

// One row of the visible part, each pixel with the chroma of its pair, written as B, G, R, 0.
// `luma(x)` and `chroma(x)` read picture column x.
template <class Luma, class Chroma>
void ConvertRow(int left, int width, const YuvTables& t, std::uint8_t* out, Luma luma,
                Chroma chroma) {
    auto* pixel = reinterpret_cast<std::uint32_t*>(out);
    for (int x = left, end = left + width; x < end;) {
        const auto [u, v] = chroma(x);
        const std::int32_t r = t.rv[v], g = -t.gu[u] - t.gv[v], b = t.bu[u];
        do {
            const std::int32_t y = t.y[luma(x)];
            *pixel++ = kClamp(y + r) << 16 | kClamp(y + g) << 8 | kClamp(y + b);
            ++x;
        } while (x < end && (x & 1));
    }
}

// A colour mask's place and width, to widen its value to 8 bits as FFmpeg does (the high bits
// repeated below).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        bits = std::popcount(m >> shift);
    }
    std::uint8_t Of(std::uint32_t pixel) const {
        if (bits == 0)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return std::uint8_t(v >> (bits - 8));
        std::uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits)
            wide |= filled + bits <= 8 ? v << (8 - filled - bits) : v >> (filled + bits - 8);
        return std::uint8_t(wide);
    }
};

std::uint32_t Read32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

YuvTables MakeYuvTables(YuvMatrix matrix, bool fullRange) {
    const Weights w = WeightsOf(matrix);
    const double kg = 1.0 - w.kr - w.kb;
    YuvTables t{};
    for (int i = 0; i < 256; ++i) {
        const double y = fullRange ? i : (i - 16) * 255.0 / 219.0;
        const double c = fullRange ? i - 128 : (i - 128) * 255.0 / 224.0;
        t.y[i] = Fixed(y) + (1 << 15); // rounds the sums to nearest
        t.rv[i] = Fixed(2.0 * (1.0 - w.kr) * c);
        t.bu[i] = Fixed(2.0 * (1.0 - w.kb) * c);
        t.gu[i] = Fixed(2.0 * w.kb * (1.0 - w.kb) / kg * c);
        t.gv[i] = Fixed(2.0 * w.kr * (1.0 - w.kr) / kg * c);
    }
    return t;
}

std::int64_t YuvPictureBytes(YuvLayout layout, std::int64_t width, std::int64_t pitch,
                             std::int64_t codedHeight) {
    const std::int64_t chromaRows = (codedHeight + 1) / 2;
    switch (layout) {
    case YuvLayout::Nv12:
        return pitch < width + (width & 1) ? -1 : pitch * (codedHeight + chromaRows);
    case YuvLayout::I420:
    case YuvLayout::Yv12:
        return pitch < width + (width & 1) || pitch % 2 != 0
                   ? -1
                   : pitch * codedHeight + pitch * chromaRows;
    case YuvLayout::Yuy2:
        return pitch < 2 * (width + (width & 1)) ? -1 : pitch * codedHeight;
    }
    return -1;
}

void YuvToRgb32(const YuvPicture& p, int left, int top, int width, int height, const YuvTables& t,
                std::uint8_t* target, std::ptrdiff_t targetPitch) {
    struct Pair {
        std::uint8_t u, v;
    };
    const std::ptrdiff_t pitch = p.pitch;
    const std::uint8_t* chroma = p.data + pitch * p.codedHeight;
    const std::ptrdiff_t chromaPitch = pitch / 2; // of the I420 and YV12 planes
    const std::ptrdiff_t plane = chromaPitch * ((p.codedHeight + 1) / 2);
    for (int row = 0; row < height; ++row) {
        const int y = top + row;
        const std::uint8_t* luma = p.data + pitch * y;
        std::uint8_t* out = target + targetPitch * row;
        const auto planar = [luma](int x) { return luma[x]; };
        switch (p.layout) {
        case YuvLayout::Nv12: {
            const std::uint8_t* uv = chroma + pitch * (y / 2);
            ConvertRow(left, width, t, out, planar, [uv](int x) {
                return Pair{uv[x & ~1], uv[x | 1]};
            });
            break;
        }
        case YuvLayout::I420:
        case YuvLayout::Yv12: {
            const std::uint8_t* first = chroma + chromaPitch * (y / 2);
            const std::uint8_t* u = p.layout == YuvLayout::I420 ? first : first + plane;
            const std::uint8_t* v = p.layout == YuvLayout::I420 ? first + plane : first;
            ConvertRow(left, width, t, out, planar, [u, v](int x) {
                return Pair{u[x / 2], v[x / 2]};
            });
            break;
        }
        case YuvLayout::Yuy2:
            ConvertRow(
                left, width, t, out, [luma](int x) { return luma[2 * x]; },
                [luma](int x) {
                    return Pair{luma[4 * (x / 2) + 1], luma[4 * (x / 2) + 3]};
                });
            break;
        }
    }
}

void Rgb32ToRgb32(const std::uint8_t* source, std::ptrdiff_t sourcePitch, int width, int height,
                  std::uint8_t* target, std::ptrdiff_t targetPitch) {
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = source + sourcePitch * row;
        std::uint8_t* out = target + targetPitch * row;
        for (int x = 0; x < width; ++x)
            std::memcpy(out + 4 * x, in + 4 * x, 3);
        for (int x = 0; x < width; ++x)
            out[4 * x + 3] = 0;
    }
}

bool DibToRgb32(const DibLayout& d, const std::uint8_t* header, const std::uint8_t* bits,
                std::uint8_t* target, std::ptrdiff_t targetPitch) {
    if (d.bitCount != 1 && d.bitCount != 4 && d.bitCount != 8 && d.bitCount != 16 &&
        d.bitCount != 24 && d.bitCount != 32)
        return false;
    const bool fields = d.compression == kDibBitFields;
    std::uint32_t masks[3] = {0, 0, 0};
    if (fields) {
        for (int i = 0; i < 3; ++i)
            masks[i] = Read32(header + kDibMaskOffset + 4 * i);
    } else if (d.bitCount == 16) {
        masks[0] = 0x7C00; // 5-5-5
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (d.bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const std::uint8_t* table = header + d.tableOffset;
    for (std::int64_t y = 0; y < d.height; ++y) {
        const std::uint8_t* row = bits + (d.topDown ? y : d.height - 1 - y) * d.stride;
        std::uint8_t* out = target + targetPitch * std::ptrdiff_t(y);
        for (std::int64_t x = 0; x < d.width; ++x, out += 4) {
            std::uint32_t rgb = 0; // 0x00RRGGBB
            switch (d.bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::int64_t bit = x * d.bitCount;
                const unsigned index =
                    (row[bit / 8] >> (8 - d.bitCount - bit % 8)) & ((1u << d.bitCount) - 1);
                if (index < d.colours)
                    rgb = Read32(table + 4 * index) & 0xFFFFFF;
                break;
            }
            case 24:
                rgb = std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 |
                      std::uint32_t(row[3 * x + 2]) << 16;
                break;
            case 16:
            case 32: {
                const std::uint32_t pixel = d.bitCount == 16
                                                ? std::uint32_t(row[2 * x] | row[2 * x + 1] << 8)
                                                : Read32(row + 4 * x);
                rgb = std::uint32_t(red.Of(pixel)) << 16 | std::uint32_t(green.Of(pixel)) << 8 |
                      blue.Of(pixel);
                break;
            }
            }
            std::memcpy(out, &rgb, 4);
        }
    }
    return true;
}
