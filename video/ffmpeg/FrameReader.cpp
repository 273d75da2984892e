#include "FrameReader.h"

#include "base/Dib.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <bit>
#include <cstring>
#include <malloc.h>
#include <utility>

static_assert(std::endian::native == std::endian::little, "DIBs are little-endian");

namespace {

constexpr int kMaxFailuresInARow = 64;
constexpr int kLargePacket = 256 << 10;
constexpr std::int64_t kTrimAfterBytes = std::int64_t{16} << 20;
constexpr std::int64_t kPaletteBytes = 256 * 4;
// Buffers faulted in ahead for the worker: one for the picture it makes, one to spare.
constexpr std::size_t kSpares = 2;

bool SizeAllowed(std::int64_t w, std::int64_t h) {
    return w > 0 && h > 0 && w <= kMaxFrameSide && h <= kMaxFrameSide && w * h <= kMaxFramePixels;
}

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

bool FrameReader::Dib::Reserve(std::int64_t size) {
    const std::int64_t need = size + std::int64_t(kLead + kSlack);
    if (std::uint64_t(need) <= capacity)
        return true;
    bytes.reset(static_cast<std::uint8_t*>(av_malloc(std::size_t(need))));
    capacity = bytes ? std::size_t(need) : 0;
    return bytes != nullptr;
}

std::unique_ptr<FrameReader> FrameReader::Open(const Source& source) {
    if (!source.format || source.stream < 0 || unsigned(source.stream) >= source.format->nb_streams)
        return nullptr;
    const AVStream* st = source.format->streams[source.stream];
    const AVCodecParameters* par = st->codecpar;
    if (!SizeAllowed(par->width, par->height))
        return nullptr;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder)
        return nullptr;

    std::unique_ptr<FrameReader> r(new FrameReader(source));
    r->FCodec.reset(avcodec_alloc_context3(decoder));
    r->FPacket.reset(av_packet_alloc());
    r->FFrame.reset(av_frame_alloc());
    if (!r->FCodec || !r->FPacket || !r->FFrame)
        return nullptr;
    AVCodecContext* c = r->FCodec.get();
    if (avcodec_parameters_to_context(c, par) < 0)
        return nullptr;
    c->pkt_timebase = st->time_base;
    c->max_pixels = kMaxFramePixels;
    // FFmpeg's own decoding threads; the program itself stays on one thread.
    c->thread_count = 0;
    c->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(c, decoder, nullptr) < 0)
        return nullptr;

    // Only this stream's packets are wanted from the demuxer.
    for (unsigned i = 0; i < source.format->nb_streams; ++i)
        source.format->streams[i]->discard =
            int(i) == source.stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    return r;
}

FrameReader::~FrameReader() {
    FWorker.Stop();
    if (FOffered)
        WithdrawPicture(FOffered);
}

const BITMAPINFOHEADER* FrameReader::Frame(std::int64_t n) {
    if (n < 0)
        return nullptr;
    if (n == FCurrent)
        return reinterpret_cast<const BITMAPINFOHEADER*>(FFront.header);
    if (n < FCurrent || FSource.rewind) {
        if (!Restart())
            return nullptr;
    }
    while (FCurrent < n) {
        if (!Advance())
            return nullptr;
    }
    OfferFront();
    return reinterpret_cast<const BITMAPINFOHEADER*>(FFront.header);
}

// Each picture is offered once: a repeat of it, or the same frame asked for again, is copied.
void FrameReader::OfferFront() {
    const DibBuffer* front = FFront.Offerable() ? FFront.own.get() : nullptr;
    if (front == FOffered)
        return;
    if (FOffered)
        WithdrawPicture(FOffered);
    FOffered = front;
    if (front)
        OfferPicture(FFront.own);
}

bool FrameReader::Restart() {
    FWorker.Stop();
    AVFormatContext* fc = FSource.format;
    const AVStream* st = fc->streams[FSource.stream];
    std::int64_t target = FFirstDts;
    if (target == AV_NOPTS_VALUE)
        target = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (av_seek_frame(fc, FSource.stream, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(FCodec.get());
    FSource.rewind = false;
    FBackReady = false;
    FRepeats = 0;
    FCurrent = -1;
    FLastStamp = AV_NOPTS_VALUE;
    FDraining = false;
    FEnded = false;
    FPadded = false;
    return true;
}

// Moves to the next frame: a repeat for a drop chunk, or the next decoded picture.
bool FrameReader::Advance() {
    if (FEnded)
        return false;
    if (FRepeats > 0) {
        --FRepeats;
        ++FCurrent;
        return true;
    }
    if (FBackReady) {
        std::swap(FFront, FBack);
        FBackReady = false;
        ++FCurrent;
        return true;
    }
    std::int64_t stamp = AV_NOPTS_VALUE;
    if (NextPicture(FBack, stamp)) {
        std::int64_t gap = 0;
        if (FSource.fillGaps && FCurrent >= 0 && stamp != AV_NOPTS_VALUE &&
            FLastStamp != AV_NOPTS_VALUE && stamp > FLastStamp) {
            // Stamps come from the file: their distance may not fit a signed 64-bit value.
            const std::uint64_t distance = std::uint64_t(stamp) - std::uint64_t(FLastStamp);
            gap = std::int64_t(std::min<std::uint64_t>(distance - 1, kMaxRepeatedFrames));
        }
        if (stamp != AV_NOPTS_VALUE)
            FLastStamp = stamp;
        ++FCurrent;
        if (gap > 0) {
            FRepeats = gap - 1; // this call hands out the first repeat
            FBackReady = true;
            return true;
        }
        std::swap(FFront, FBack);
        return true;
    }
    // Drop chunks at the end leave no timestamps behind; only the index knows them.
    if (!FPadded && FCurrent >= 0 && FSource.indexedFrames &&
        *FSource.indexedFrames > std::uint64_t(FCurrent + 1)) {
        FPadded = true;
        const std::uint64_t missing = *FSource.indexedFrames - std::uint64_t(FCurrent + 1);
        FRepeats = std::int64_t(std::min<std::uint64_t>(missing, kMaxRepeatedFrames)) - 1;
        ++FCurrent;
        return true;
    }
    FEnded = true;
    return false;
}

bool FrameReader::NextPicture(Dib& into, std::int64_t& stamp) {
    // The first picture is made here: opening a decompressor reads it, and the worker should
    // not read the file while the caller still asks about the stream.
    if (FCurrent < 0 && !FWorker.Running())
        return MakePicture(into, stamp);
    const bool made = FWorker.Take([&] {
        std::swap(into, FAhead);
        stamp = FAheadStamp;
    });
    if (made)
        AddSpares(into);
    return made;
}

// Decodes and converts the next picture that can be shown.
bool FrameReader::MakePicture(Dib& into, std::int64_t& stamp) {
    while (Decode()) {
        stamp = FFrame->best_effort_timestamp;
        if (!SizeAllowed(FFrame->width, FFrame->height))
            FRefusedForSize = true;
        const bool converted = Convert(*FFrame, into);
        av_frame_unref(FFrame.get());
        TrimHeap();
        if (converted)
            return true;
        // a picture we cannot show is skipped like a broken packet
    }
    return false;
}

void FrameReader::AddSpares(const Dib& like) {
    if (!like.Offerable())
        return;
    const std::int64_t info = like.own->InfoBytes();
    const std::int64_t image = like.own->ImageBytes();
    for (;;) {
        {
            const std::lock_guard lock(FSpareLock);
            std::erase_if(FSpares, [&](const auto& b) {
                return b->InfoBytes() != info || b->ImageBytes() != image;
            });
            if (FSpares.size() >= kSpares)
                return;
        }
        auto spare = DibBuffer::New(info, image);
        if (!spare)
            return;
        const std::lock_guard lock(FSpareLock);
        FSpares.push_back(std::move(spare));
    }
}

std::shared_ptr<DibBuffer> FrameReader::TakeSpare(std::int64_t infoBytes, std::int64_t imageBytes) {
    const std::lock_guard lock(FSpareLock);
    for (auto it = FSpares.begin(); it != FSpares.end(); ++it) {
        if ((*it)->InfoBytes() == infoBytes && (*it)->ImageBytes() == imageBytes) {
            auto spare = std::move(*it);
            FSpares.erase(it);
            return spare;
        }
    }
    return nullptr;
}

// Fills FFrame with the next decoded picture; false when the stream has no more.
bool FrameReader::Decode() {
    AVCodecContext* c = FCodec.get();
    int failures = 0;
    for (;;) {
        const int got = avcodec_receive_frame(c, FFrame.get());
        if (got >= 0)
            return true;
        if (got == AVERROR_EOF)
            return false;
        if (got != AVERROR(EAGAIN)) {
            // A picture that failed to decode: go on with the ones after it.
            NoteFailure(got);
            if (++failures > kMaxFailuresInARow)
                return false;
            continue;
        }
        if (FDraining)
            return false;
        if (!ReadPacket()) {
            // Flush, so the frames the decoder still holds come out.
            if (avcodec_send_packet(c, nullptr) < 0)
                return false;
            FDraining = true;
            continue;
        }
        const int sent = avcodec_send_packet(c, FPacket.get());
        av_packet_unref(FPacket.get());
        if (sent < 0 && sent != AVERROR(EAGAIN))
            NoteFailure(sent);
        if (sent < 0 && sent != AVERROR(EAGAIN) && ++failures > kMaxFailuresInARow)
            return false;
        if (sent >= 0)
            failures = 0;
    }
}

// The decoders refuse a picture beyond max_pixels with EINVAL (a broken one gives INVALIDDATA).
void FrameReader::NoteFailure(int error) {
    if (error == AVERROR(EINVAL))
        FRefusedForSize = true;
}

// The next non-empty packet of our stream; false at the end of the file or on a read error.
bool FrameReader::ReadPacket() {
    AVFormatContext* fc = FSource.format;
    for (;;) {
        if (av_read_frame(fc, FPacket.get()) < 0)
            return false;
        // An empty packet would be taken for the flush request by the decoder.
        if (FPacket->stream_index == FSource.stream && FPacket->size > 0) {
            if (FPacket->size >= kLargePacket)
                FLargePacketBytes += FPacket->size;
            if (FFirstDts == AV_NOPTS_VALUE)
                FFirstDts = FPacket->dts != AV_NOPTS_VALUE ? FPacket->dts : FPacket->pts;
            return true;
        }
        av_packet_unref(FPacket.get());
    }
}

// Raw video's packets are as large as a picture and come and go once per frame, while the loader
// keeps small objects of its own for every frame. glibc often places one of those right behind a
// freed packet (where the packet's alignment slack was), the next packet no longer fits in the
// hole, and the heap grows by a packet per frame: up to 190 MB over a 512x512 raw scene, in one
// run out of two. Returning the free pages every 16 MiB of such packets bounds that at little
// cost; compressed packets are small and never trigger it.
void FrameReader::TrimHeap() {
    if (FLargePacketBytes < kTrimAfterBytes)
        return;
    FLargePacketBytes = 0;
    malloc_trim(0);
}

bool FrameReader::Convert(const AVFrame& frame, Dib& dib) {
    if (!SizeAllowed(frame.width, frame.height))
        return false;
    if (frame.format == AV_PIX_FMT_PAL8)
        return ConvertPalette(frame, dib);

    const int w = frame.width;
    const int h = frame.height;
    const std::int64_t stride = DibStride(w, 32);
    const std::int64_t imageSize = stride * h;
    constexpr std::int64_t kInfo = sizeof(BITMAPINFOHEADER);
    // A picture no bitmap took is written again; one that was taken belongs to the bitmap.
    const bool reusable = dib.own && !dib.own->Claimed() && dib.own.use_count() == 1;
    if (!reusable || dib.own->ImageBytes() != imageSize || dib.own->InfoBytes() != kInfo) {
        dib.own = TakeSpare(kInfo, imageSize);
        if (!dib.own)
            dib.own = DibBuffer::New(kInfo, imageSize);
    }
    if (dib.own) {
        dib.header = reinterpret_cast<std::uint8_t*>(dib.own->Header());
    } else {
        if (!dib.Reserve(kInfo + imageSize))
            return false;
        dib.header = dib.Reused();
    }
    const auto source = static_cast<AVPixelFormat>(frame.format);
    const bool yuv = IsYuv(source);
    const SwsKey key{w, h, frame.format, yuv ? int(frame.colorspace) : -1,
                     yuv && (frame.color_range == AVCOL_RANGE_JPEG || IsFullRangeFormat(source))};
    if (!FSws || key != FSwsKey) {
        FSws.reset(sws_getContext(w, h, source, w, h, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr,
                                  nullptr, nullptr));
        if (!FSws)
            return false;
        if (yuv)
            sws_setColorspaceDetails(FSws.get(), sws_getCoefficients(frame.colorspace), key.range,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
        FSwsKey = key;
    }
    SwsContext* sws = FSws.get();
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
    if (MayLeaveAlpha(source))
        MakeOpaque(bits, std::int64_t{w} * h);
    return true;
}

bool FrameReader::ConvertPalette(const AVFrame& frame, Dib& dib) {
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
