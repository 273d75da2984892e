#include "Scene.h"

#include "FrameColours.h"
#include "Pictures.h"

#include "video/FFmpegPtr.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <stdexcept>

namespace {

QImage PictureOf(const SceneRecipe& s, int i) {
    return s.picture == Picture::Sample ? SamplePicture(i, s.frames, s.width, s.height)
                                        : FixturePicture(i, s.width, s.height);
}

Bytes Pal8Frame(const SceneRecipe& s, int i) {
    std::vector<std::uint8_t> indices(std::size_t(s.width) * std::size_t(s.height),
                                      std::uint8_t(1 + i % 255));
    std::fill(indices.begin(), indices.begin() + std::ptrdiff_t(s.width) * (s.height / 8), 0);
    return PackIndices(indices, s.width, s.height);
}

Encoder::Settings EncoderSettings(const SceneRecipe& s) {
    Encoder::Settings e;
    e.codec = s.codec;
    e.width = s.width;
    e.height = s.height;
    e.rate = int(s.rate);
    e.scale = int(s.scale);
    return e;
}

} // namespace

AviLayout SceneAvi(const SceneRecipe& s) {
    AviLayout avi;
    avi.width = std::uint32_t(s.width);
    avi.height = std::uint32_t(s.height);
    avi.totalFrames = std::uint32_t(s.frames);
    avi.microSecPerFrame = s.rate ? std::uint32_t(1000000ull * s.scale / s.rate) : 0;
    AviStreamLayout v;
    v.rate = s.rate;
    v.scale = s.scale;
    v.length = std::uint32_t(s.frames);
    v.frame[2] = std::int16_t(s.width);
    v.frame[3] = std::int16_t(s.height);

    std::unique_ptr<Encoder> encoder;
    switch (s.codec) {
    case Codec::Raw24:
        v.chunkSuffix = "db";
        v.format = BitmapInfo(UncompressedDibHeader(s.width, s.height, 24));
        break;
    case Codec::Pal8:
        v.chunkSuffix = "db";
        v.format = BitmapInfo(UncompressedDibHeader(s.width, s.height, 8, 256), FixturePalette());
        break;
    default: {
        encoder = std::make_unique<Encoder>(EncoderSettings(s));
        v.handler = encoder->FourCC();
        v.format = BitmapInfo(CompressedDibHeader(
            s.width, s.height, v.handler, std::uint32_t(s.width) * std::uint32_t(s.height) * 3));
        break;
    }
    }

    // Without B-frames every picture gives one packet, in order, so slots and packets line up.
    std::vector<Packet> packets;
    for (int i = 0; i < s.frames; ++i) {
        if (s.drops.count(i)) {
            v.chunks.push_back(AviChunk{});
            continue;
        }
        if (s.codec == Codec::Raw24) {
            v.chunks.push_back({PackRgb24(PictureOf(s, i)), true});
        } else if (s.codec == Codec::Pal8) {
            v.chunks.push_back({Pal8Frame(s, i), true});
        } else {
            for (Packet& p : encoder->Add(PictureOf(s, i)))
                packets.push_back(std::move(p));
            v.chunks.push_back({}); // filled below, once the encoder has caught up
        }
    }
    if (encoder) {
        for (Packet& p : encoder->Finish())
            packets.push_back(std::move(p));
        std::size_t next = 0;
        for (int i = 0; i < s.frames; ++i) {
            if (s.drops.count(i))
                continue;
            if (next >= packets.size())
                throw std::runtime_error("the encoder lost a frame");
            v.chunks[std::size_t(i)] = {std::move(packets[next].data), packets[next].key};
            ++next;
        }
    }
    avi.streams.push_back(std::move(v));
    return avi;
}

void WriteContainer(const std::string& path, const SceneRecipe& s) {
    if (s.codec == Codec::Raw24 || s.codec == Codec::Pal8)
        throw std::runtime_error("uncompressed scenes are written as AVI only");
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, nullptr, path.c_str()) < 0 || !raw)
        throw std::runtime_error("no muxer for " + path);
    const OutputFormatPtr output(raw);

    Encoder::Settings e = EncoderSettings(s);
    // Reordering and the decoder flush, as camera and encoder defaults have them.
    e.bFrames = s.codec == Codec::H264 || s.codec == Codec::Hevc;
    e.globalHeader = raw->oformat->flags & AVFMT_GLOBALHEADER;
    Encoder encoder(e);

    AVStream* st = avformat_new_stream(raw, nullptr);
    if (!st || avcodec_parameters_from_context(st->codecpar, encoder.Context()) < 0)
        throw std::runtime_error("cannot describe the stream");
    st->time_base = encoder.Context()->time_base;
    st->avg_frame_rate = AVRational{int(s.rate), int(s.scale)};
    AVDictionary* options = nullptr;
    if (s.indexFirst)
        av_dict_set(&options, "movflags", "+faststart", 0);
    const bool started = avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
                         avformat_write_header(raw, &options) >= 0;
    av_dict_free(&options);
    if (!started)
        throw std::runtime_error("cannot write " + path);

    const PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    AVPacket* pkt = packet.get();
    auto write = [&](std::vector<Packet> packets) {
        for (Packet& p : packets) {
            if (av_new_packet(pkt, int(p.data.size())) < 0)
                throw std::bad_alloc();
            std::copy(p.data.begin(), p.data.end(), pkt->data);
            pkt->pts = p.pts;
            pkt->dts = p.dts;
            pkt->duration = 1;
            pkt->flags = p.key ? AV_PKT_FLAG_KEY : 0;
            pkt->stream_index = st->index;
            av_packet_rescale_ts(pkt, encoder.Context()->time_base, st->time_base);
            const int rc = av_interleaved_write_frame(raw, pkt);
            av_packet_unref(pkt);
            if (rc < 0)
                throw std::runtime_error("cannot write a packet to " + path);
        }
    };
    for (int i = 0; i < s.frames; ++i)
        write(encoder.Add(PictureOf(s, i)));
    write(encoder.Finish());
    if (av_write_trailer(raw) < 0)
        throw std::runtime_error("cannot finish " + path);
}

void WriteSoundOnly(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, nullptr, path.c_str()) < 0 || !raw)
        throw std::runtime_error("no muxer for " + path);
    const OutputFormatPtr output(raw);
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac)
        throw MissingEncoder("no AAC encoder in this FFmpeg");
    const CodecPtr context(avcodec_alloc_context3(aac));
    const FramePtr frame(av_frame_alloc());
    const PacketPtr packet(av_packet_alloc());
    if (!context || !frame || !packet)
        throw std::bad_alloc();
    AVCodecContext* c = context.get();
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    c->sample_rate = 8000;
    c->bit_rate = 16000;
    av_channel_layout_default(&c->ch_layout, 1);
    c->time_base = AVRational{1, c->sample_rate};
    if (raw->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, aac, nullptr) < 0)
        throw std::runtime_error("cannot open the AAC encoder");
    AVStream* st = avformat_new_stream(raw, nullptr);
    if (!st || avcodec_parameters_from_context(st->codecpar, c) < 0)
        throw std::runtime_error("cannot describe the sound stream");
    st->time_base = c->time_base;
    if (avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(raw, nullptr) < 0)
        throw std::runtime_error("cannot write " + path);

    frame->format = c->sample_fmt;
    frame->nb_samples = c->frame_size;
    frame->sample_rate = c->sample_rate;
    if (av_channel_layout_copy(&frame->ch_layout, &c->ch_layout) < 0 ||
        av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(c, packet.get()) == 0) {
            packet->stream_index = st->index;
            av_packet_rescale_ts(packet.get(), c->time_base, st->time_base);
            if (av_interleaved_write_frame(raw, packet.get()) < 0)
                throw std::runtime_error("cannot write a packet to " + path);
        }
    };
    for (std::int64_t at = 0; at < c->sample_rate; at += c->frame_size) {
        if (av_frame_make_writable(frame.get()) < 0)
            throw std::bad_alloc();
        av_samples_set_silence(frame->data, 0, frame->nb_samples, 1, c->sample_fmt);
        frame->pts = at;
        if (avcodec_send_frame(c, frame.get()) < 0)
            throw std::runtime_error("encoding silence");
        drain();
    }
    avcodec_send_frame(c, nullptr);
    drain();
    if (av_write_trailer(raw) < 0)
        throw std::runtime_error("cannot finish " + path);
}
