#include "StreamDecoder.h"

#include <malloc.h>

namespace {

constexpr int kMaxFailuresInARow = 64;
constexpr int kLargePacket = 256 << 10;
constexpr std::int64_t kTrimAfterBytes = std::int64_t{16} << 20;

} // namespace

std::unique_ptr<StreamDecoder> StreamDecoder::Open(AVFormatContext* format, int stream) {
    if (!format || stream < 0 || unsigned(stream) >= format->nb_streams)
        return nullptr;
    const AVStream* st = format->streams[stream];
    const AVCodecParameters* par = st->codecpar;
    if (!FrameSizeAllowed(par->width, par->height))
        return nullptr;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder)
        return nullptr;

    std::unique_ptr<StreamDecoder> d(new StreamDecoder(format, stream));
    d->FCodec.reset(avcodec_alloc_context3(decoder));
    d->FPacket.reset(av_packet_alloc());
    d->FFrame.reset(av_frame_alloc());
    if (!d->FCodec || !d->FPacket || !d->FFrame)
        return nullptr;
    AVCodecContext* c = d->FCodec.get();
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
    for (unsigned i = 0; i < format->nb_streams; ++i)
        format->streams[i]->discard = int(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    return d;
}

bool StreamDecoder::Receive() {
    int failures = 0;
    for (;;) {
        const int got = avcodec_receive_frame(FCodec.get(), FFrame.get());
        if (got >= 0) {
            if (!FrameSizeAllowed(FFrame->width, FFrame->height))
                FRefusedForSize = true;
            return true;
        }
        if (got == AVERROR_EOF)
            return false;
        if (got != AVERROR(EAGAIN)) {
            // A picture that failed to decode: go on with the ones after it.
            NoteFailure(got);
            if (++failures > kMaxFailuresInARow)
                return false;
            continue;
        }
        if (!SendPacket(failures))
            return false;
    }
}

// The next packet for the decoder, or the flush request after the last one; false when there is
// nothing more to send, or too many packets in a row failed.
bool StreamDecoder::SendPacket(int& failures) {
    AVCodecContext* c = FCodec.get();
    if (FDraining)
        return false;
    if (!ReadPacket()) {
        // Flush, so the frames the decoder still holds come out.
        if (avcodec_send_packet(c, nullptr) < 0)
            return false;
        FDraining = true;
        return true;
    }
    const int sent = avcodec_send_packet(c, FPacket.get());
    av_packet_unref(FPacket.get());
    if (sent < 0 && sent != AVERROR(EAGAIN))
        NoteFailure(sent);
    if (sent < 0 && sent != AVERROR(EAGAIN) && ++failures > kMaxFailuresInARow)
        return false;
    if (sent >= 0)
        failures = 0;
    return true;
}

// The decoders refuse a picture beyond max_pixels with EINVAL (a broken one gives INVALIDDATA).
void StreamDecoder::NoteFailure(int error) {
    if (error == AVERROR(EINVAL))
        FRefusedForSize = true;
}

// The next non-empty packet of our stream; false at the end of the file or on a read error.
bool StreamDecoder::ReadPacket() {
    for (;;) {
        if (av_read_frame(FFormat, FPacket.get()) < 0)
            return false;
        // An empty packet would be taken for the flush request by the decoder.
        if (FPacket->stream_index == FStream && FPacket->size > 0) {
            if (FPacket->size >= kLargePacket)
                FLargePacketBytes += FPacket->size;
            if (FFirstDts == AV_NOPTS_VALUE)
                FFirstDts = FPacket->dts != AV_NOPTS_VALUE ? FPacket->dts : FPacket->pts;
            return true;
        }
        av_packet_unref(FPacket.get());
    }
}

void StreamDecoder::ReleaseFrame() {
    av_frame_unref(FFrame.get());
    TrimHeap();
}

// Raw video's packets are as large as a picture and come and go once per frame, while the loader
// keeps small objects of its own for every frame. glibc often places one of those right behind a
// freed packet (where the packet's alignment slack was), the next packet no longer fits in the
// hole, and the heap grows by a packet per frame: up to 190 MB over a 512x512 raw scene, in one
// run out of two. Returning the free pages every 16 MiB of such packets bounds that at little
// cost; compressed packets are small and never trigger it.
void StreamDecoder::TrimHeap() {
    if (FLargePacketBytes < kTrimAfterBytes)
        return;
    FLargePacketBytes = 0;
    malloc_trim(0);
}

bool StreamDecoder::Rewind() {
    const AVStream* st = FFormat->streams[FStream];
    std::int64_t target = FFirstDts;
    if (target == AV_NOPTS_VALUE)
        target = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (av_seek_frame(FFormat, FStream, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(FCodec.get());
    FDraining = false;
    return true;
}
