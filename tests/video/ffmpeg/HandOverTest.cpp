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
    TDrawPixels TargetPixels() override {
        if (picture.bits)
            return {picture.bits, picture.stride};
        if (own.Null())
            own = TDrawImage(width, height, 0xffffffff);
        return own.TargetPixels();
    }
    bool TargetAdopt(const TDrawPicture& handed) override {
        picture = handed;
        ++adopted;
        return true;
    }
    QImage Pixels() const {
        return picture.bits ? ToImage(picture.bits, width, height, picture.stride) : ToImage(own);
    }
    int width, height;
    TDrawImage own;
    TDrawPicture picture;
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
    return DrawDibDraw(dd, &bitmap, 0, 0, w, h, dib, bits, 0, 0, w, h, 0);
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

    std::vector<FakeBitmap> kept;
    std::vector<QImage> copies;
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
        EXPECT_EQ(bitmap.Pixels(), copy);
        EXPECT_TRUE(Opaque(bitmap.Pixels()));
        // Asked for again, the same picture is copied: it already belongs to a bitmap.
        ASSERT_EQ(AVIStreamGetFrame(frames, n), dib);
        FakeBitmap again(copy.width(), copy.height());
        ASSERT_TRUE(Draw(dd, again, dib));
        EXPECT_EQ(again.adopted, 0);
        EXPECT_EQ(again.Pixels(), copy);
        // A bitmap of another size gets a copy, clipped.
        FakeBitmap other(copy.width() + 1, copy.height());
        ASSERT_TRUE(Draw(dd, other, dib));
        EXPECT_EQ(other.adopted, 0);
        kept.push_back(std::move(bitmap));
        copies.push_back(copy);
    }
    EXPECT_GE(kept.size(), 3u);
    DrawDibClose(dd);
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    for (std::size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(kept[i].Pixels(), copies[i]) << "frame " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, HandOver,
    ::testing::Values(HandOverCase{"large_600x520.avi", true}, HandOverCase{"raw24_10.avi", false},
                      HandOverCase{"mjpeg_10.avi", false}, HandOverCase{"odd_63x47.avi", false},
                      HandOverCase{"drop_10.avi", false}, HandOverCase{"pal8_10.avi", false}),
    [](const auto& info) { return FileRowName(info.param.file); });

} // namespace
