// Real-world container and codec pairs, opened through the open request and compared frame by
// frame with FFmpeg's own decode of the same file.

#include "FormFixture.h"
#include "tools/scenegen/FrameColours.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// FFmpeg's decode of the first video stream, each frame converted to RGB32 with the colour
// matrix and range the frame declares; nullopt when FFmpeg has no decoder for it.
std::optional<std::vector<ui::TPixels>> ReferenceDecode(const String& path) {
    struct Format {
        AVFormatContext* p = nullptr;
        ~Format() { avformat_close_input(&p); }
    } fc;
    if (avformat_open_input(&fc.p, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(fc.p, nullptr) < 0)
        return std::vector<ui::TPixels>{};
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(fc.p, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder)
        return std::nullopt;
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> c(
        avcodec_alloc_context3(decoder), [](AVCodecContext* p) { avcodec_free_context(&p); });
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> pkt(av_packet_alloc(),
                                                       [](AVPacket* p) { av_packet_free(&p); });
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(),
                                                       [](AVFrame* p) { av_frame_free(&p); });
    avcodec_parameters_to_context(c.get(), fc.p->streams[index]->codecpar);
    c->pkt_timebase = fc.p->streams[index]->time_base;
    if (avcodec_open2(c.get(), decoder, nullptr) < 0)
        return std::nullopt;

    std::vector<ui::TPixels> frames;
    auto receive = [&] {
        while (avcodec_receive_frame(c.get(), frame.get()) >= 0) {
            const int w = frame->width, h = frame->height;
            ui::TPixels image{w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h))};
            SwsContext* sws =
                sws_getContext(w, h, AVPixelFormat(frame->format), w, h, AV_PIX_FMT_BGRA,
                               SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
            const bool full = frame->color_range == AVCOL_RANGE_JPEG ||
                              frame->format == AV_PIX_FMT_YUVJ420P ||
                              frame->format == AV_PIX_FMT_YUVJ422P;
            sws_setColorspaceDetails(sws, sws_getCoefficients(frame->colorspace), full,
                                     sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            // BGRA bytes are 0xAARRGGBB words on this little-endian machine.
            std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(image.Data.data()), nullptr,
                                    nullptr, nullptr};
            const int dstStride[4] = {4 * w, 0, 0, 0};
            sws_scale(sws, frame->data, frame->linesize, 0, h, dst, dstStride);
            sws_freeContext(sws);
            for (std::uint32_t& pixel : image.Data)
                pixel &= 0x00FFFFFFu;
            frames.push_back(std::move(image));
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(fc.p, pkt.get()) >= 0) {
        if (pkt->stream_index == index)
            avcodec_send_packet(c.get(), pkt.get());
        av_packet_unref(pkt.get());
        receive();
    }
    avcodec_send_packet(c.get(), nullptr);
    receive();
    return frames;
}

// Mean absolute difference per channel, or -1 when the sizes differ.
double MeanDifference(const ui::TPixels& a, const ui::TPixels& b) {
    if (a.Width != b.Width || a.Height != b.Height)
        return -1;
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < a.Data.size(); ++i)
        for (int shift : {16, 8, 0})
            sum += std::abs(int((a.Data[i] >> shift) & 0xFF) - int((b.Data[i] >> shift) & 0xFF));
    return double(sum) / (3.0 * a.Width * a.Height);
}

struct ContainerCase {
    const char* name;
    const char* file;    // a scene generator fixture of 10 frames
    const char* encoder; // the encoder that wrote it, nullptr for uncompressed AVI
    bool lossless;       // frames carry the generator's colours exactly
};

void PrintTo(const ContainerCase& c, std::ostream* os) {
    *os << c.name;
}

class Container : public FormTest, public ::testing::WithParamInterface<ContainerCase> {};

TEST_P(Container, OpensAndMatchesFFmpegsDecodeFrameByFrame) {
    const ContainerCase& c = GetParam();
    const String path = Fixture(c.file);
    if (!std::filesystem::exists(path)) {
        if (c.encoder && !avcodec_find_encoder_by_name(c.encoder))
            GTEST_SKIP() << "FFmpeg here has no encoder " << c.encoder << " to write " << c.file;
        FAIL() << c.file << " was not generated";
    }
    const auto reference = ReferenceDecode(path);
    if (!reference)
        GTEST_SKIP() << "FFmpeg here has no decoder for " << c.file;
    ASSERT_EQ(reference->size(), 10u) << "FFmpeg's own decode of " << c.file;

    Make();
    Open(path);
    EXPECT_EQ(messages, std::vector<String>{});
    EXPECT_EQ(errors, std::vector<String>{});
    EXPECT_TRUE(form->SceneLoaded());
    ASSERT_EQ(form->FrameCount(), int(reference->size()));
    for (int i = 0; i < form->FrameCount(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const ui::TPixels ours = ui::Pixels(*form->Frame(i));
        const ui::TPixels& theirs = (*reference)[std::size_t(i)];
        ASSERT_EQ(ours.Width, theirs.Width);
        ASSERT_EQ(ours.Height, theirs.Height);
        const std::uint32_t p = ours.At(ours.Width / 2, ours.Height / 2);
        EXPECT_EQ(FrameIndexOf(int(p >> 16), int((p >> 8) & 0xFF), int(p & 0xFF), 10), i);
        // Lossy frames differ only by the rounding of two colour conversions (1 to 2 units);
        // a wrong matrix, range, plane or frame moves whole areas by 10 units and more.
        EXPECT_LE(MeanDifference(ours, theirs), c.lossless ? 0.0 : 4.0);
        if (c.lossless) {
            const FrameRgb want = FrameColour(i);
            EXPECT_EQ(p, std::uint32_t(want.r) << 16 | std::uint32_t(want.g) << 8 |
                             std::uint32_t(want.b));
            EXPECT_EQ(ours.At(0, ours.Height / 8 - 1), 0u); // right way up
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealWorld, Container,
    ::testing::Values(ContainerCase{"Mp4H264", "mp4_10.mp4", "libx264", false},
                      ContainerCase{"Mp4Mpeg4Part2", "mp4_mpeg4_10.mp4", "mpeg4", false},
                      ContainerCase{"Mp4Hevc", "mp4_hevc_10.mp4", "libx265", false},
                      ContainerCase{"MovMjpeg", "mov_mjpeg_10.mov", "mjpeg", false},
                      ContainerCase{"MovProres", "mov_prores_10.mov", "prores_ks", false},
                      ContainerCase{"MkvFfv1", "mkv_ffv1_10.mkv", "ffv1", true},
                      ContainerCase{"MkvVp9", "mkv_vp9_10.mkv", "libvpx-vp9", false},
                      ContainerCase{"WebmVp8", "webm_vp8_10.webm", "libvpx", false},
                      ContainerCase{"WebmVp9", "webm_vp9_10.webm", "libvpx-vp9", false},
                      ContainerCase{"ThreeGpH263", "3gp_h263_10.3gp", "h263", false},
                      ContainerCase{"AviRaw24", "raw24_10.avi", nullptr, true},
                      ContainerCase{"AviPal8", "pal8_10.avi", nullptr, true},
                      ContainerCase{"AviMjpeg", "mjpeg_10.avi", "mjpeg", false},
                      ContainerCase{"AviMpeg4Part2", "mpeg4_10.avi", "mpeg4", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The command-line rule goes by the name only: an MP4 named .avi is still opened by content.
TEST_F(FormTest, Mp4NamedAviOpensFromTheCommandLine) {
    TempDir tmp;
    const String renamed = tmp.File("clip.avi");
    ASSERT_TRUE(std::filesystem::copy_file(Fixture("mp4_mpeg4_10.mp4"), renamed));
    Make({renamed});
    ShowMain();
    EXPECT_EQ(errors, std::vector<String>{});
    EXPECT_EQ(form->FrameCount(), 10);
}

} // namespace
