// Real-world container and codec pairs, opened through the open request and compared frame by
// frame with FFmpeg's own decode of the same file.

#include "FormFixture.h"
#include "tools/scenegen/FrameColours.h"
#include "tools/scenegen/ReferenceDecode.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

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
        const ReferenceFrame& theirs = (*reference)[std::size_t(i)];
        ASSERT_EQ(ours.Width, theirs.width);
        ASSERT_EQ(ours.Height, theirs.height);
        const std::uint32_t p = ours.At(ours.Width / 2, ours.Height / 2);
        EXPECT_EQ(FrameIndexOf(int(p >> 16), int((p >> 8) & 0xFF), int(p & 0xFF), 10), i);
        // Lossy frames differ only by the rounding of two colour conversions (1 to 2 units);
        // a wrong matrix, range, plane or frame moves whole areas by 10 units and more.
        const double difference = MeanDifference(ours.Width, ours.Height, ours.Data, theirs);
        EXPECT_GE(difference, 0);
        EXPECT_LE(difference, c.lossless ? 0.0 : 4.0);
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
