#pragma once

// Owning handles for FFmpeg objects, for the video layer and the scene generator: every one is
// released on every path.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <memory>

struct FormatCloser {
    void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
struct CodecFreer {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct SwsFreer {
    void operator()(SwsContext* p) const { sws_freeContext(p); }
};
// A muxer's context, with the file it writes to.
struct OutputFormatCloser {
    void operator()(AVFormatContext* p) const {
        if (p->pb)
            avio_closep(&p->pb);
        avformat_free_context(p);
    }
};
struct DictFreer {
    void operator()(AVDictionary* p) const { av_dict_free(&p); }
};
struct AvFreer {
    void operator()(void* p) const { av_free(p); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFreer>;
using DictPtr = std::unique_ptr<AVDictionary, DictFreer>;
using AvBytes = std::unique_ptr<std::uint8_t, AvFreer>;
