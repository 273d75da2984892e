#include "ReferenceDecode.h"

#include "video/FFmpegPtr.h"

#include <stdexcept>

std::optional<std::vector<ReferenceFrame>> ReferenceDecode(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return std::vector<ReferenceFrame>{};
    const FormatPtr format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return std::vector<ReferenceFrame>{};
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder)
        return std::nullopt;
    const CodecPtr c(avcodec_alloc_context3(decoder));
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (!c || !packet || !frame)
        throw std::bad_alloc();
    avcodec_parameters_to_context(c.get(), raw->streams[index]->codecpar);
    c->pkt_timebase = raw->streams[index]->time_base;
    if (avcodec_open2(c.get(), decoder, nullptr) < 0)
        return std::nullopt;

    std::vector<ReferenceFrame> frames;
    auto receive = [&] {
        while (avcodec_receive_frame(c.get(), frame.get()) >= 0) {
            const int w = frame->width, h = frame->height;
            ReferenceFrame out{w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h))};
            const SwsPtr sws(sws_getContext(w, h, AVPixelFormat(frame->format), w, h,
                                            AV_PIX_FMT_BGRA, SWS_BICUBIC | SWS_ACCURATE_RND,
                                            nullptr, nullptr, nullptr));
            if (!sws)
                throw std::runtime_error("no conversion from the decoder's pictures");
            const bool full = frame->color_range == AVCOL_RANGE_JPEG ||
                              frame->format == AV_PIX_FMT_YUVJ420P ||
                              frame->format == AV_PIX_FMT_YUVJ422P;
            sws_setColorspaceDetails(sws.get(), sws_getCoefficients(frame->colorspace), full,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            // BGRA bytes are 0xAARRGGBB words on this little-endian machine.
            std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(out.pixels.data()), nullptr,
                                    nullptr, nullptr};
            const int dstStride[4] = {4 * w, 0, 0, 0};
            sws_scale(sws.get(), frame->data, frame->linesize, 0, h, dst, dstStride);
            for (std::uint32_t& pixel : out.pixels)
                pixel &= 0x00FFFFFFu;
            frames.push_back(std::move(out));
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == index)
            avcodec_send_packet(c.get(), packet.get());
        av_packet_unref(packet.get());
        receive();
    }
    avcodec_send_packet(c.get(), nullptr);
    receive();
    return frames;
}
