// Pictures of the decompressor handed to a bitmap instead of copied: the same pixels as the
// copy, opaque, each one handed over once, and alive after the decompressor is gone.

#include "VideoEnvironment.h"
#include "VideoSupport.h"

#include <gtest/gtest.h>

namespace {

// A bitmap as DrawDib sees it: a size, pixels made white on demand, or a picture taken over.
struct FakeBitmap final : TDrawTarget {
    FakeBitmap(int w, int h) : width(w), height(h) {}
    int TargetWidth() const override { return width; }
    int TargetHeight() const override { return height; }
    QImage* TargetPixels() override {
        if (pixels.isNull()) {
            pixels = QImage(width, height, QImage::Format_RGB32);
            pixels.fill(Qt::white);
        }
        return &pixels;
    }
    void TargetAdopt(const QImage& picture) override {
        pixels = picture;
        ++adopted;
    }
    int width, height;
    QImage pixels;
    int adopted = 0;
};

// QImage's comparison leaves the fourth byte of RGB32 pixels out; painting does not.
bool Opaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return false;
    }
    return true;
}

BOOL Draw(HDRAWDIB dd, FakeBitmap& bitmap, const BITMAPINFOHEADER* dib) {
    const int w = dib->biWidth, h = std::abs(dib->biHeight);
    const auto* bits = reinterpret_cast<const char*>(dib) + DibBitsOffset(*dib);
    return DrawDibDraw(dd, HDC(&bitmap), 0, 0, w, h, dib, bits, 0, 0, w, h, 0);
}

struct HandOverCase {
    const char* file;
    bool handedOver; // large 32-bit pictures are; small and palette ones are copied
};

void PrintTo(const HandOverCase& c, std::ostream* os) {
    *os << c.file;
}

class HandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(HandOver, SamePixelsAsTheCopyOnceEachAndAliveAfterClose) {
    const HandOverCase& c = GetParam();
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, Fixture(c.file).c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    HDRAWDIB dd = DrawDibOpen();

    std::vector<QImage> kept, copies;
    const BITMAPINFOHEADER* previous = nullptr;
    for (LONG n = 0;; ++n) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
        if (!dib)
            break;
        SCOPED_TRACE("frame " + std::to_string(n));
        const QImage copy = DrawDib(dib); // a plain image is always drawn into
        FakeBitmap bitmap(copy.width(), copy.height());
        ASSERT_TRUE(Draw(dd, bitmap, dib));
        // A drop chunk repeats the picture before it, which a bitmap already took.
        const bool repeat = dib == previous;
        previous = dib;
        EXPECT_EQ(bitmap.adopted, c.handedOver && !repeat ? 1 : 0);
        EXPECT_EQ(bitmap.pixels, copy);
        EXPECT_TRUE(Opaque(bitmap.pixels));
        // Asked for again, the same picture is copied: it already belongs to a bitmap.
        ASSERT_EQ(AVIStreamGetFrame(frames, n), dib);
        FakeBitmap again(copy.width(), copy.height());
        ASSERT_TRUE(Draw(dd, again, dib));
        EXPECT_EQ(again.adopted, 0);
        EXPECT_EQ(again.pixels, copy);
        // A bitmap of another size gets a copy, clipped.
        FakeBitmap other(copy.width() + 1, copy.height());
        ASSERT_TRUE(Draw(dd, other, dib));
        EXPECT_EQ(other.adopted, 0);
        kept.push_back(bitmap.pixels);
        copies.push_back(copy);
    }
    EXPECT_GE(kept.size(), 3u);
    DrawDibClose(dd);
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    for (std::size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(kept[i], copies[i]) << "frame " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, HandOver,
    ::testing::Values(HandOverCase{"large_600x520.avi", true}, HandOverCase{"raw24_10.avi", false},
                      HandOverCase{"mjpeg_10.avi", false}, HandOverCase{"odd_63x47.avi", false},
                      HandOverCase{"drop_10.avi", false}, HandOverCase{"pal8_10.avi", false}),
    [](const auto& info) { return FileRowName(info.param.file); });

} // namespace
