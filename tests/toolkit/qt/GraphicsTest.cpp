// The Qt back end's bitmaps: drawing through the canvas, Qt's own limits, and the
// address-space limit of a child process.

#include "toolkit/Graphics.h"
#include "base/ProcessMemory.h"
#include "toolkit/Exception.h"
#include "toolkit/qt/Pixels.h"

#include "MessageOf.h"

#include <QRect>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

QImage Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Writes one colour into an area of the bitmap through its canvas, as DrawDib draws.
void Paint(TBitmap& bitmap, QRgb colour, const QRect& area) {
    const TDrawPixels pixels = bitmap.Canvas()->Handle()->TargetPixels();
    ASSERT_NE(pixels.bits, nullptr);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            reinterpret_cast<QRgb*>(pixels.bits + y * pixels.stride)[x] = colour;
}

} // namespace

TEST(Picture, AssignSharesPixelsUntilEitherSideChanges) {
    TBitmap source;
    SetBitmapImage(source, Solid(4, 3, qRgb(0, 0, 255)));
    const uchar* pixels = BitmapImage(source).constBits();

    TPicture first;
    first.Assign(&source);
    TPicture second;
    second.Assign(&first);
    // Own bitmap objects, one block of pixels.
    EXPECT_NE(first.Bitmap(), &source);
    EXPECT_NE(second.Bitmap(), first.Bitmap());
    EXPECT_EQ(BitmapImage(*first.Bitmap()).constBits(), pixels);
    EXPECT_EQ(BitmapImage(*second.Bitmap()).constBits(), pixels);
    EXPECT_EQ(second.Width(), 4);
    EXPECT_EQ(second.Height(), 3);

    // Drawing into the middle one copies it first; the others keep the original.
    Paint(*first.Bitmap(), qRgb(255, 0, 0), QRect(0, 0, 4, 3));
    EXPECT_NE(BitmapImage(*first.Bitmap()).constBits(), pixels);
    EXPECT_EQ(BitmapImage(*first.Bitmap()).pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(BitmapImage(*second.Bitmap()).pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(BitmapImage(*second.Bitmap()).constBits(), pixels);

    // Same from the source's side.
    Paint(source, qRgb(0, 255, 0), QRect(0, 0, 1, 1));
    EXPECT_EQ(BitmapImage(*second.Bitmap()).pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(BitmapImage(*second.Bitmap()).constBits(), pixels);
}

TEST(Picture, RaisesOnChangeOnceForAFileOrAnImageSet) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"load file", [&] { picture.LoadFromFile(":/definition/ImgBtn12_UpPict.bmp"); }},
        {"bitmap image set", [&] { SetBitmapImage(*picture.Bitmap(), Solid(3, 3, 0)); }},
    };
    for (const auto& [name, change] : cases) {
        const int before = changes;
        change();
        EXPECT_EQ(changes, before + 1) << name;
    }
}

TEST(Bitmap, SizesOneSideAtATimeAndKeepsContentTopLeft) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&] { ++changes; };

    bitmap.SetWidth(3);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 3);
    bitmap.SetHeight(2);
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_EQ(BitmapImage(bitmap).size(), QSize(3, 2));
    EXPECT_EQ(BitmapImage(bitmap).format(), QImage::Format_RGB32);
    EXPECT_EQ(changes, 2);

    Paint(bitmap, qRgb(10, 20, 30), QRect(0, 0, 3, 2));
    bitmap.SetSize(5, 4);
    EXPECT_EQ(BitmapImage(bitmap).pixel(2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(BitmapImage(bitmap).pixel(4, 3), qRgb(255, 255, 255));

    bitmap.SetSize(5, 4); // unchanged: nothing happens
    EXPECT_EQ(changes, 3);

    bitmap.SetSize(-7, 4); // negative counts as 0
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 4);
}

TEST(Bitmap, ReportsExhaustedResourcesWhenTheAllocationFailsAnyway) {
    // Fits in memory, but no image may be this wide.
    constexpr int kWidth = 70'000'000;
    if (!MemoryFits(std::uint64_t{kWidth} * 4))
        GTEST_SKIP() << "not enough free memory for the check to pass";
    TBitmap bitmap;
    bitmap.SetSize(8, 8);
    const qint64 key = BitmapImage(bitmap).cacheKey();
    EXPECT_EQ(MessageOf([&] { bitmap.SetSize(kWidth, 1); }), "Systemressourcen erschöpft.");
    EXPECT_EQ(BitmapImage(bitmap).cacheKey(), key);
    EXPECT_EQ(bitmap.Width(), 8);
}

// The address-space limit is lowered in a child process only, where the refusal must come from
// the limit check (without it the allocation itself would fail with a different message).
TEST(BitmapDeathTest, RefusesPixelsBeyondTheAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves more address space than any limit we could set";
#endif
    const auto child = [] {
        const auto used = ReadProcessMemory().addressSpace;
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        limit.rlim_cur = used.value_or(0) + (std::uint64_t{256} << 20);
        if (!used || setrlimit(RLIMIT_AS, &limit) != 0)
            std::_Exit(10);

        TBitmap bitmap;
        bitmap.SetSize(16, 16);
        const qint64 key = BitmapImage(bitmap).cacheKey();
        const std::string message = MessageOf([&] { bitmap.SetSize(8192, 8192); }); // 256 MiB
        if (message != "Zu wenig Arbeitsspeicher") {
            std::fprintf(stderr, "got: %s\n", message.c_str());
            std::_Exit(11);
        }
        if (BitmapImage(bitmap).cacheKey() != key || bitmap.Width() != 16)
            std::_Exit(12);
        bitmap.SetSize(1024, 1024); // 4 MiB still fits
        std::_Exit(bitmap.Width() == 1024 ? 0 : 13);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}
