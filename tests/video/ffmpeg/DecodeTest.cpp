// Decoding every kind of scene: frame count, which frame each one is (by its colour), the
// picture the right way up, exact colours where the codec is lossless.

#include "VideoEnvironment.h"
#include "VideoSupport.h"
#include "tools/scenegen/FrameColours.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

std::vector<int> Sequence(int n) {
    std::vector<int> v(std::size_t(n), 0);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

// Frame 0, then the cap's worth of repeats, then frame 1001 (colour index 1001 % 342).
std::vector<int> DropRun() {
    std::vector<int> v(1 + 250, 0);
    v.push_back(1001 % kFrameColourCount);
    return v;
}

struct DecodeCase {
    const char* file;
    int width, height;
    int bitCount;           // of the DIBs handed out
    std::vector<int> shown; // the frame index each decoded frame must show
    bool lossless;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.file;
}

int IndexAt(const QImage& image, int x, int y, int count) {
    const QRgb p = image.pixel(x, y);
    return FrameIndexOf(qRed(p), qGreen(p), qBlue(p), count);
}

bool NearBlack(QRgb p) {
    return qRed(p) < 24 && qGreen(p) < 24 && qBlue(p) < 24;
}

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, EveryFrameInOrderRightWayUp) {
    const DecodeCase& c = GetParam();
    const Scene s = LoadScene(Fixture(c.file));
    ASSERT_EQ(s.open, AVIERR_OK);
    ASSERT_EQ(s.stream, AVIERR_OK);
    ASSERT_TRUE(s.decompressor);
    ASSERT_EQ(s.frames.size(), c.shown.size());
    EXPECT_TRUE(s.allDrawn);
    const int count = 1 + *std::max_element(c.shown.begin(), c.shown.end());
    for (std::size_t i = 0; i < s.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const QImage& f = s.frames[i];
        ASSERT_EQ(f.size(), QSize(c.width, c.height));
        EXPECT_EQ(s.bitCounts[i], c.bitCount);
        const int w = c.width, h = c.height;
        EXPECT_EQ(IndexAt(f, w / 2, h / 2, count), c.shown[i]);
        // Top band black, bottom row the frame's colour: not upside down.
        EXPECT_TRUE(NearBlack(f.pixel(w / 2, 0)));
        EXPECT_EQ(IndexAt(f, w / 2, h - 1, count), c.shown[i]);
        EXPECT_EQ(IndexAt(f, w - 1, h - 1, count), c.shown[i]); // last column of odd widths
        if (c.lossless) {
            const FrameRgb want = FrameColour(c.shown[i]);
            EXPECT_EQ(f.pixel(w - 1, h / 2), qRgb(want.r, want.g, want.b));
            EXPECT_EQ(f.pixel(0, h / 8 - 1), qRgb(0, 0, 0));
            EXPECT_EQ(f.pixel(0, h / 8), qRgb(want.r, want.g, want.b));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, Decode,
    ::testing::Values(DecodeCase{"raw24_1.avi", 64, 48, 32, {0}, true},
                      DecodeCase{"raw24_2.avi", 64, 48, 32, {0, 1}, true},
                      DecodeCase{"raw24_10.avi", 64, 48, 32, Sequence(10), true},
                      DecodeCase{"pal8_10.avi", 64, 48, 8, Sequence(10), true},
                      DecodeCase{"mjpeg_10.avi", 64, 48, 32, Sequence(10), false},
                      DecodeCase{"mpeg4_10.avi", 64, 48, 32, Sequence(10), false},
                      DecodeCase{"mp4_10.mp4", 64, 48, 32, Sequence(10), false},
                      DecodeCase{"large_600x520.avi", 600, 520, 32, Sequence(3), false},
                      DecodeCase{"odd_63x47.avi", 63, 47, 32, Sequence(10), true},
                      // Drop chunks repeat the frame before them, the last one included.
                      DecodeCase{"drop_10.avi", 64, 48, 32, {0, 1, 1, 3, 4, 4, 4, 7, 8, 8}, false},
                      DecodeCase{
                          "audio_video_10.avi", 64, 48, 32, {0, 1, 2, 3, 4, 5, 6, 7, 8, 8}, false},
                      DecodeCase{"long_300.avi", 64, 48, 32, Sequence(300), false},
                      // A long run of drops is repeated only up to the cap.
                      DecodeCase{"drop_run_1000.avi", 64, 48, 32, DropRun(), false},
                      // Zero rate or scale in the header does not stop the frames.
                      DecodeCase{"ratescale0.avi", 64, 48, 32, Sequence(10), false},
                      // The index lies about positions; the frames are still all there.
                      DecodeCase{"index_past_end.avi", 64, 48, 32, Sequence(10), false},
                      DecodeCase{"length_ffffffff.avi", 64, 48, 32, Sequence(10), false},
                      // Cut in the middle of frame 6: the complete frames before it.
                      DecodeCase{"truncated.avi", 64, 48, 32, Sequence(6), false}),
    [](const auto& info) { return FileRowName(info.param.file); });

TEST(DecodePalette, EightBitFramesCarryTheFilesColourTable) {
    const OpenedVideo video = OpenVideo(Fixture("pal8_10.avi"));
    ASSERT_NE(video.stream, nullptr);
    const GetFramePtr frames(AVIStreamGetFrameOpen(video.stream.get(), nullptr));
    ASSERT_NE(frames, nullptr);
    const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), 3));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->biBitCount, 8);
    EXPECT_EQ(dib->biClrUsed, 256u);
    EXPECT_EQ(DibBitsOffset(*dib), 40 + 1024);
    const auto* table = reinterpret_cast<const unsigned char*>(dib) + dib->biSize;
    auto entry = [&](int i) { return qRgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]); };
    EXPECT_EQ(entry(0), qRgb(0, 0, 0));
    for (int i = 0; i < 10; ++i) {
        const FrameRgb c = FrameColour(i);
        EXPECT_EQ(entry(1 + i), qRgb(c.r, c.g, c.b)) << "entry " << 1 + i;
    }
    // Bottom-up rows: the first stored row is the bottom of the picture, index 1 + 3.
    const auto* bits = reinterpret_cast<const unsigned char*>(dib) + DibBitsOffset(*dib);
    EXPECT_EQ(bits[0], 4);
}

// One open decompressor over mpeg4_10.avi (inter frames, so order matters).
class FrameAccess : public ::testing::Test {
protected:
    void SetUp() override {
        OpenedVideo video = OpenVideo(Fixture("mpeg4_10.avi"));
        ASSERT_NE(video.stream, nullptr);
        file = std::move(video.file);
        stream = std::move(video.stream);
        frames.reset(AVIStreamGetFrameOpen(stream.get(), nullptr));
        ASSERT_NE(frames, nullptr);
    }
    int Shown(LONG n) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), n));
        if (!dib)
            return -1;
        const QImage f = DrawDib(dib);
        return IndexAt(f, f.width() / 2, f.height() / 2, 10);
    }
    AviFilePtr file;
    AviStreamPtr stream;
    GetFramePtr frames; // released first
};

TEST_F(FrameAccess, SameFrameAgainIsTheSameBuffer) {
    void* first = AVIStreamGetFrame(frames.get(), 0);
    EXPECT_EQ(AVIStreamGetFrame(frames.get(), 0), first);
    EXPECT_EQ(Shown(0), 0);
}

TEST_F(FrameAccess, SkippingAheadAndGoingBackRestartsTheDecode) {
    EXPECT_EQ(Shown(7), 7);
    EXPECT_EQ(Shown(2), 2);
    EXPECT_EQ(Shown(3), 3);
    EXPECT_EQ(Shown(9), 9);
}

TEST_F(FrameAccess, PastTheEndStaysAtTheEnd) {
    EXPECT_EQ(Shown(9), 9);
    EXPECT_EQ(Shown(10), -1);
    EXPECT_EQ(Shown(10), -1);
    EXPECT_EQ(Shown(1000000000), -1);
    EXPECT_EQ(Shown(-1), -1);
    EXPECT_EQ(Shown(0), 0); // and a restart still works after the end
}

TEST_F(FrameAccess, OneDecompressorPerFileAtATime) {
    OpenedStream second = GetStream(file.get());
    ASSERT_EQ(second.result, AVIERR_OK);
    EXPECT_EQ(GetFramePtr(AVIStreamGetFrameOpen(second.stream.get(), nullptr)), nullptr);
    EXPECT_EQ(Shown(4), 4);
    frames.reset();
    // The next one starts from the first frame, although the demuxer has moved on.
    frames.reset(AVIStreamGetFrameOpen(second.stream.get(), nullptr));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(Shown(0), 0);
    EXPECT_EQ(Shown(1), 1);
    second.stream.reset(); // the decompressor keeps it alive
    EXPECT_EQ(Shown(2), 2);
}

// Handles keep what they depend on alive, so any release order works (the sanitizer build
// and valgrind catch a use after free or a leak here).
TEST(ReleaseOrder, AnyOrderIsSafe) {
    enum Handle { File, Stream, Frames };
    const std::vector<std::vector<Handle>> orders = {
        {Frames, Stream, File}, {File, Stream, Frames}, {File, Frames, Stream},
        {Stream, File, Frames}, {Stream, Frames, File}, {Frames, File, Stream}};
    for (const auto& order : orders) {
        OpenedVideo video = OpenVideo(Fixture("mjpeg_10.avi"));
        ASSERT_NE(video.stream, nullptr);
        GetFramePtr frames(AVIStreamGetFrameOpen(video.stream.get(), nullptr));
        ASSERT_NE(frames, nullptr);
        ASSERT_NE(AVIStreamGetFrame(frames.get(), 0), nullptr);
        for (Handle h : order) {
            if (h == File)
                video.file.reset();
            else if (h == Stream)
                video.stream.reset();
            else
                frames.reset();
            if (frames) { // whatever is left still works
                EXPECT_NE(AVIStreamGetFrame(frames.get(), 1), nullptr);
            }
        }
    }
}

} // namespace
