#include "base/Dib.h"

#include <bit>
#include <cstring>

// The header is copied as it lies in memory: files store it little-endian.
static_assert(std::endian::native == std::endian::little, "DIBs are little-endian");

namespace {

bool KnownHeaderSize(std::uint32_t size) {
    // The 40-byte info header and its V2, V3, V4 and V5 successors.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

std::int64_t DibStride(std::int64_t width, int bitCount) {
    if (width <= 0 || width > INT32_MAX || bitCount <= 0 || bitCount > 32)
        return -1;
    return (width * bitCount + 31) / 32 * 4;
}

std::optional<DibLayout> DibDescribe(const DibHeader& bi) {
    if (!KnownHeaderSize(bi.biSize) || bi.biWidth <= 0 || bi.biHeight == 0)
        return std::nullopt;
    const int bits = bi.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    const bool bitfields = bi.biCompression == kDibBitFields;
    if (bi.biCompression != kDibRgb && !(bitfields && (bits == 16 || bits == 32)))
        return std::nullopt;

    DibLayout d;
    d.width = bi.biWidth;
    d.topDown = bi.biHeight < 0;
    d.height = d.topDown ? -std::int64_t{bi.biHeight} : std::int64_t{bi.biHeight};
    d.bitCount = bits;
    d.compression = bi.biCompression;
    if (bits <= 8) {
        const std::int64_t most = std::int64_t{1} << bits;
        if (bi.biClrUsed > most)
            return std::nullopt;
        d.colours = bi.biClrUsed == 0 ? most : bi.biClrUsed;
    } else {
        // An optional table for palette devices; more than 256 entries is not a real file.
        if (bi.biClrUsed > 256)
            return std::nullopt;
        d.colours = bi.biClrUsed;
    }
    d.tableOffset = std::int64_t{bi.biSize} + (bitfields && bi.biSize == 40 ? 12 : 0);
    d.bitsOffset = d.tableOffset + 4 * d.colours;
    d.stride = DibStride(d.width, bits);
    if (d.stride < 0 || d.stride > kMaxDibImageBytes || d.height > kMaxDibImageBytes / d.stride)
        return std::nullopt;
    d.imageSize = d.stride * d.height;
    // A stated image size smaller than the rows need means the buffer is smaller too.
    if (bi.biSizeImage != 0 && bi.biSizeImage < d.imageSize)
        return std::nullopt;
    return d;
}

std::int64_t DibBitsOffset(const DibHeader& bi) {
    const auto layout = DibDescribe(bi);
    return layout ? layout->bitsOffset : -1;
}

DibHeader UncompressedDibHeader(std::int32_t width, std::int32_t height, int bitCount,
                                std::uint32_t colours) {
    const std::int64_t stride = DibStride(width, bitCount);
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    const std::int64_t imageSize = stride < 0 ? 0 : stride * rows;
    DibHeader bi{};
    bi.biSize = kDibHeaderSize;
    bi.biWidth = width;
    bi.biHeight = height;
    bi.biPlanes = 1;
    bi.biBitCount = std::uint16_t(bitCount);
    bi.biCompression = kDibRgb;
    bi.biSizeImage = imageSize <= UINT32_MAX ? std::uint32_t(imageSize) : 0;
    bi.biClrUsed = colours;
    return bi;
}

std::array<std::uint8_t, kDibHeaderSize> DibHeaderBytes(const DibHeader& bi) {
    std::array<std::uint8_t, kDibHeaderSize> bytes;
    std::memcpy(bytes.data(), &bi, kDibHeaderSize);
    return bytes;
}

DibHeader DibHeaderFromBytes(const std::uint8_t* bytes) {
    DibHeader bi;
    std::memcpy(&bi, bytes, kDibHeaderSize);
    return bi;
}
