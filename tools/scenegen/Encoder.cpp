#include "Encoder.h"

#include "base/Dib.h"
#include "video/FFmpegPtr.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <cstring>
#include <stdexcept>

namespace {

void Check(int rc, const char* what) {
    if (rc < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(rc, text, sizeof text);
        throw std::runtime_error(std::string(what) + ": " + text);
    }
}

} // namespace

const char* EncoderName(Codec codec) {
    switch (codec) {
    case Codec::Mjpeg:
        return "mjpeg";
    case Codec::Mpeg4:
        return "mpeg4";
    case Codec::H264:
        return "libx264";
    case Codec::Hevc:
        return "libx265";
    case Codec::Prores:
        return "prores_ks";
    case Codec::Ffv1:
        return "ffv1";
    case Codec::Vp8:
        return "libvpx";
    case Codec::Vp9:
        return "libvpx-vp9";
    case Codec::H263:
        return "h263";
    case Codec::Cinepak:
        return "cinepak";
    default:
        return nullptr;
    }
}

Codec CodecNamed(const std::string& name) {
    if (name == "mjpeg")
        return Codec::Mjpeg;
    if (name == "mpeg4")
        return Codec::Mpeg4;
    if (name == "h264")
        return Codec::H264;
    if (name == "raw24")
        return Codec::Raw24;
    if (name == "pal8")
        return Codec::Pal8;
    if (name == "hevc")
        return Codec::Hevc;
    if (name == "prores")
        return Codec::Prores;
    if (name == "ffv1")
        return Codec::Ffv1;
    if (name == "vp8")
        return Codec::Vp8;
    if (name == "vp9")
        return Codec::Vp9;
    if (name == "h263")
        return Codec::H263;
    if (name == "cinepak")
        return Codec::Cinepak;
    throw std::runtime_error("unknown codec " + name);
}

struct Encoder::State {
    Codec codec = Codec::Mjpeg;
    CodecPtr context;
    FramePtr frame;
    PacketPtr packet;
    SwsPtr sws;
    std::int64_t next = 0;
    int quality = 0; // fixed quantiser for MJPEG, MPEG-4 and H.263

    std::vector<Packet> Drain() {
        std::vector<Packet> out;
        for (;;) {
            const int rc = avcodec_receive_packet(context.get(), packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return out;
            Check(rc, "encoding");
            Packet p;
            p.data.assign(packet->data, packet->data + packet->size);
            p.key = packet->flags & AV_PKT_FLAG_KEY;
            p.pts = packet->pts;
            p.dts = packet->dts;
            out.push_back(std::move(p));
            av_packet_unref(packet.get());
        }
    }
};

Encoder::Encoder(const Settings& s) : FState(std::make_unique<State>()) {
    State& st = *FState;
    st.codec = s.codec;
    const char* name = EncoderName(s.codec);
    if (!name)
        throw std::runtime_error("not an encoded codec");
    const AVCodec* encoder = avcodec_find_encoder_by_name(name);
    if (!encoder)
        throw MissingEncoder(std::string("no encoder ") + name + " in this FFmpeg");
    st.context.reset(avcodec_alloc_context3(encoder));
    st.frame.reset(av_frame_alloc());
    st.packet.reset(av_packet_alloc());
    if (!st.context || !st.frame || !st.packet)
        throw std::bad_alloc();
    AVCodecContext* c = st.context.get();
    c->width = s.width;
    c->height = s.height;
    c->time_base = AVRational{s.scale, s.rate};
    c->framerate = AVRational{s.rate, s.scale};
    c->gop_size = 12;
    c->max_b_frames = s.bFrames ? 2 : 0;
    c->thread_count = 1; // the same bytes on every machine
    if (s.globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    switch (s.codec) {
    case Codec::Mjpeg:
        c->pix_fmt = AV_PIX_FMT_YUVJ420P;
        c->color_range = AVCOL_RANGE_JPEG;
        st.quality = 3;
        break;
    case Codec::Mpeg4:
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        st.quality = 3;
        break;
    case Codec::H263:
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        st.quality = 3;
        break;
    case Codec::Hevc:
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        av_opt_set(c->priv_data, "preset", "fast", 0);
        av_opt_set(c->priv_data, "crf", "16", 0);
        // x265 talks on stderr unless told not to; one pool thread keeps the bytes the same.
        av_opt_set(c->priv_data, "x265-params", "log-level=none:pools=1:frame-threads=1", 0);
        break;
    case Codec::Prores:
        c->pix_fmt = AV_PIX_FMT_YUV422P10LE;
        break;
    case Codec::Ffv1:
        c->pix_fmt = AV_PIX_FMT_BGR0; // lossless from our RGB pictures
        break;
    case Codec::Cinepak:
        c->pix_fmt = AV_PIX_FMT_RGB24;
        // One strip and no extra codebook rounds: a third of the time, hardly a visible loss.
        av_opt_set_int(c->priv_data, "max_strips", 1, 0);
        av_opt_set_int(c->priv_data, "max_extra_cb_iterations", 0, 0);
        break;
    case Codec::Vp8:
    case Codec::Vp9:
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->bit_rate = s.codec == Codec::Vp8 ? 2000000 : 0; // VP8's quality mode needs a ceiling
        av_opt_set(c->priv_data, "crf", "10", 0);
        av_opt_set(c->priv_data, "cpu-used", "4", 0);
        break;
    default:
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        av_opt_set(c->priv_data, "preset", "fast", 0);
        av_opt_set(c->priv_data, "crf", "16", 0);
        break;
    }
    if (st.quality) {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * st.quality;
    }
    Check(avcodec_open2(c, encoder, nullptr), "opening the encoder");
    AVFrame* f = st.frame.get();
    f->format = c->pix_fmt;
    f->width = s.width;
    f->height = s.height;
    f->color_range = c->color_range;
    Check(av_frame_get_buffer(f, 0), "allocating a frame");
    st.sws.reset(sws_getContext(s.width, s.height, AV_PIX_FMT_BGRA, s.width, s.height, c->pix_fmt,
                                SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                                nullptr, nullptr));
    if (!st.sws)
        throw std::runtime_error("no colour conversion");
}

Encoder::~Encoder() = default;

std::vector<Packet> Encoder::Add(const QImage& picture) {
    State& st = *FState;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    Check(av_frame_make_writable(st.frame.get()), "frame");
    const std::uint8_t* src[4] = {rgb.constBits(), nullptr, nullptr, nullptr};
    const int srcStride[4] = {int(rgb.bytesPerLine()), 0, 0, 0};
    sws_scale(st.sws.get(), src, srcStride, 0, rgb.height(), st.frame->data, st.frame->linesize);
    st.frame->pts = st.next++;
    st.frame->quality = FF_QP2LAMBDA * st.quality;
    Check(avcodec_send_frame(st.context.get(), st.frame.get()), "encoding");
    return st.Drain();
}

std::vector<Packet> Encoder::Finish() {
    Check(avcodec_send_frame(FState->context.get(), nullptr), "flushing the encoder");
    return FState->Drain();
}

std::uint32_t Encoder::FourCC() const {
    switch (FState->codec) {
    case Codec::Mjpeg:
        return ::FourCC("MJPG");
    case Codec::Mpeg4:
        return ::FourCC("FMP4");
    case Codec::Hevc:
        return ::FourCC("HEVC");
    case Codec::Prores:
        return ::FourCC("apcn");
    case Codec::Ffv1:
        return ::FourCC("FFV1");
    case Codec::Vp8:
        return ::FourCC("VP80");
    case Codec::Vp9:
        return ::FourCC("VP90");
    case Codec::H263:
        return ::FourCC("H263");
    case Codec::Cinepak:
        return ::FourCC("cvid");
    default:
        return ::FourCC("H264");
    }
}

const AVCodecContext* Encoder::Context() const {
    return FState->context.get();
}

Bytes PackRgb24(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const auto stride = std::size_t(DibStride(w, 24));
    Bytes out(stride * std::size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* row = out.data() + std::size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = std::uint8_t(qBlue(line[x]));
            row[3 * x + 1] = std::uint8_t(qGreen(line[x]));
            row[3 * x + 2] = std::uint8_t(qRed(line[x]));
        }
    }
    return out;
}

Bytes PackIndices(const std::vector<std::uint8_t>& indices, int width, int height) {
    const auto stride = std::size_t(DibStride(width, 8));
    Bytes out(stride * std::size_t(height), 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + std::size_t(height - 1 - y) * stride,
                    indices.data() + std::size_t(y) * std::size_t(width), std::size_t(width));
    return out;
}
