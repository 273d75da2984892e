#include "FrameConverter.h"

#include "base/Dib.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "DIBs are little-endian");

namespace {

constexpr std::int64_t kPaletteBytes = 256 * 4;

bool IsYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    return d && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) && d->nb_components >= 3;
}

// swscale passes a source's alpha (or its padding byte) on; a bitmap pixel's fourth byte is 0xff.
bool MayLeaveAlpha(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    return !d || (d->flags & AV_PIX_FMT_FLAG_ALPHA) || !IsYuv(format);
}

void MakeOpaque(std::uint8_t* bits, std::int64_t pixels) {
    for (std::int64_t i = 0; i < pixels; ++i)
        bits[4 * i + 3] = 0xff;
}

bool IsFullRangeFormat(AVPixelFormat format) {
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P ||
           format == AV_PIX_FMT_YUVJ444P || format == AV_PIX_FMT_YUVJ440P ||
           format == AV_PIX_FMT_YUVJ411P;
}

} // namespace

bool ConvertedDib::Reserve(std::int64_t size) {
    const std::int64_t need = size + std::int64_t(kLead + kSlack);
    if (std::uint64_t(need) <= capacity)
        return true;
    bytes.reset(static_cast<std::uint8_t*>(av_malloc(std::size_t(need))));
    capacity = bytes ? std::size_t(need) : 0;
    return bytes != nullptr;
}

bool FrameConverter::Convert(const AVFrame& frame, ConvertedDib& dib) {
    if (!FrameSizeAllowed(frame.width, frame.height))
        return false;
    if (frame.format == AV_PIX_FMT_PAL8)
        return ConvertPalette(frame, dib);

    const int w = frame.width;
    const int h = frame.height;
    const std::int64_t stride = DibStride(w, 32);
    if (!PlaceRgb(dib, stride * h))
        return false;
    SwsContext* sws = Scaler(frame);
    if (!sws)
        return false;
    std::uint8_t* header = dib.header;
    // Top-down (negative height): row for row the layout of a bitmap's pixels.
    BITMAPINFOHEADER bi = UncompressedDibHeader(w, h, 32);
    bi.biHeight = -h;
    std::memcpy(header, &bi, sizeof bi);
    std::uint8_t* bits = header + sizeof bi;
    std::uint8_t* dst[4] = {bits, nullptr, nullptr, nullptr};
    const int dstStride[4] = {int(stride), 0, 0, 0};
    if (sws_scale(sws, frame.data, frame.linesize, 0, h, dst, dstStride) != h)
        return false;
    if (MayLeaveAlpha(static_cast<AVPixelFormat>(frame.format)))
        MakeOpaque(bits, std::int64_t{w} * h);
    return true;
}

// Where a 32-bit picture goes: its own buffer again, unless a bitmap took it (then it belongs to
// the bitmap) or it has another size; else a spare one, a new one, or last reused memory.
bool FrameConverter::PlaceRgb(ConvertedDib& dib, std::int64_t imageBytes) {
    constexpr std::int64_t kInfo = sizeof(BITMAPINFOHEADER);
    const bool reusable = dib.own && !dib.own->Claimed() && dib.own.use_count() == 1;
    if (!reusable || dib.own->ImageBytes() != imageBytes || dib.own->InfoBytes() != kInfo) {
        dib.own = FSpares.Take(kInfo, imageBytes);
        if (!dib.own)
            dib.own = DibBuffer::New(kInfo, imageBytes);
    }
    if (dib.own) {
        dib.header = reinterpret_cast<std::uint8_t*>(dib.own->Header());
        return true;
    }
    if (!dib.Reserve(kInfo + imageBytes))
        return false;
    dib.header = dib.Reused();
    return true;
}

// The conversion context for this frame, made anew only when the frame differs from the last.
SwsContext* FrameConverter::Scaler(const AVFrame& frame) {
    const auto source = static_cast<AVPixelFormat>(frame.format);
    const bool yuv = IsYuv(source);
    const SwsKey key{frame.width, frame.height, frame.format, yuv ? int(frame.colorspace) : -1,
                     yuv && (frame.color_range == AVCOL_RANGE_JPEG || IsFullRangeFormat(source))};
    if (FSws && key == FSwsKey)
        return FSws.get();
    FSws.reset(sws_getContext(frame.width, frame.height, source, frame.width, frame.height,
                              AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!FSws)
        return nullptr;
    if (yuv)
        sws_setColorspaceDetails(FSws.get(), sws_getCoefficients(frame.colorspace), key.range,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    FSwsKey = key;
    return FSws.get();
}

bool FrameConverter::ConvertPalette(const AVFrame& frame, ConvertedDib& dib) {
    const int w = frame.width;
    const int h = frame.height;
    const std::int64_t stride = DibStride(w, 8);
    const std::int64_t imageSize = stride * h;
    if (!frame.data[0] || !frame.data[1] ||
        !dib.Reserve(std::int64_t(sizeof(BITMAPINFOHEADER)) + kPaletteBytes + imageSize))
        return false;
    dib.header = dib.Reused();
    std::uint8_t* header = dib.header;
    const BITMAPINFOHEADER bi = UncompressedDibHeader(w, h, 8, 256);
    std::memcpy(header, &bi, sizeof bi);
    // FFmpeg's palette is native 0xAARRGGBB, which is B, G, R, A in memory like an RGBQUAD;
    // the fourth byte of an RGBQUAD is reserved and stays zero.
    std::uint8_t* table = header + sizeof bi;
    std::memcpy(table, frame.data[1], kPaletteBytes);
    for (int i = 0; i < 256; ++i)
        table[4 * i + 3] = 0;
    std::uint8_t* bits = table + kPaletteBytes;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bits + (h - 1 - y) * stride;
        std::memcpy(row, frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0], std::size_t(w));
        std::memset(row + w, 0, std::size_t(stride - w));
    }
    return true;
}
