#include "toolkit/Graphics.h"
#include "toolkit/Exception.h"

#include "MessageOf.h"
#include "Ui.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

TEST(Picture, RaisesOnChangeOnceForEveryKindOfChange) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    TPicture other;

    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"assign bitmap", [&] { picture.Assign(&bitmap); }},
        {"assign picture", [&] { picture.Assign(&other); }},
        {"load definition picture", [&] { picture.LoadFromDefinition("ImgBtn12_UpPict"); }},
        {"bitmap resized", [&] { picture.Bitmap()->SetSize(5, 6); }},
        {"bitmap loaded", [&] { picture.Bitmap()->LoadFromResourceName("PLAY_PRESSED"); }},
        {"bitmap pixels set", [&] { ui::Fill(*picture.Bitmap(), 30, 29, 0x102030); }},
        {"moved into", [&] { picture = TPicture(); }},
        {"bitmap that moved in resized", [&] { picture.Bitmap()->SetSize(1, 1); }},
    };
    // Exactly once each: a second notification would repaint the picture area twice a tick.
    for (const auto& [name, change] : cases) {
        const int before = changes;
        change();
        EXPECT_EQ(changes, before + 1) << name;
    }
}

// DrawDib reaches a bitmap through its canvas: what it draws reaches no bitmap that shared the
// pixels, and a decoded picture of the bitmap's size is taken over as it is, kept alive by the
// bitmap.
TEST(Canvas, DrawsIntoTheBitmapAloneAndTakesOverPicturesOfItsSize) {
    TBitmap bitmap;
    ui::Fill(bitmap, 3, 2, 0x0000FF);
    TBitmap sharer;
    sharer.Assign(&bitmap);
    TDrawTarget* target = bitmap.Canvas()->Handle();
    EXPECT_EQ(target->TargetWidth(), 3);
    EXPECT_EQ(target->TargetHeight(), 2);
    const TDrawPixels pixels = target->TargetPixels();
    ASSERT_NE(pixels.bits, nullptr);
    reinterpret_cast<std::uint32_t*>(pixels.bits + pixels.stride)[2] = 0xFFFF0000u;
    EXPECT_EQ(ui::PixelAt(bitmap, 2, 1), 0xFF0000u);
    EXPECT_EQ(ui::PixelAt(sharer, 2, 1), 0x0000FFu);

    auto memory = std::make_shared<std::vector<std::uint32_t>>(6, 0xFF00FF00u);
    const std::weak_ptr<void> held = memory;
    const TDrawPicture picture{reinterpret_cast<std::uint8_t*>(memory->data()), 3, 2, 12,
                               std::move(memory)};
    TBitmap other;
    other.SetSize(2, 2);
    EXPECT_FALSE(other.Canvas()->Handle()->TargetAdopt(picture));
    {
        TDrawPicture handed = picture;
        ASSERT_TRUE(target->TargetAdopt(handed));
    }
    EXPECT_EQ(ui::PixelAt(bitmap, 1, 1), 0x00FF00u);
    sharer.Assign(&bitmap);
    // The picture's own memory, not a copy of it.
    reinterpret_cast<std::uint32_t*>(picture.bits)[4] = 0xFF123456u;
    EXPECT_EQ(ui::PixelAt(bitmap, 1, 1), 0x123456u);
    EXPECT_EQ(ui::PixelAt(sharer, 1, 1), 0x123456u);
    EXPECT_EQ(held.use_count(), 2); // the picture here, and the pixels the two bitmaps share
    bitmap.SetSize(0, 0);
    sharer.SetSize(0, 0);
    EXPECT_EQ(held.use_count(), 1);
}

TEST(Bitmap, UnknownResourceNameThrowsAndKeepsThePixels) {
    TBitmap bitmap;
    ui::Fill(bitmap, 2, 2, 0x010203);
    TBitmap kept;
    kept.Assign(&bitmap);
    for (const String& name :
         {String("play"), String(), String("PLAY_UNPRESSED "), String(":/bitmaps/PLAY_UNPRESSED"),
          String("../definition/ImgBtn12_UpPict.bmp")}) {
        EXPECT_THROW(bitmap.LoadFromResourceName(name), Exception) << name;
        EXPECT_TRUE(ui::SharePixels(bitmap, kept)) << name;
    }
    EXPECT_EQ(MessageOf([&] { bitmap.LoadFromResourceName("nope"); }), "Resource nope not found");
}

// Sizes whose pixels cannot fit in any machine's memory; the first wraps to 0 in 32 bits.
TEST(Bitmap, RefusesPixelsBeyondAvailableMemoryAndKeepsTheOldOnes) {
    const std::vector<std::pair<int, int>> sizes = {{1 << 20, 1 << 18}, {INT_MAX, INT_MAX}};
    for (const auto& [w, h] : sizes) {
        TBitmap bitmap;
        bitmap.SetSize(8, 8);
        TBitmap kept;
        kept.Assign(&bitmap);
        int changes = 0;
        bitmap.OnChange = [&] { ++changes; };
        EXPECT_EQ(MessageOf([&, w = w, h = h] { bitmap.SetSize(w, h); }),
                  "Zu wenig Arbeitsspeicher")
            << w << "x" << h;
        EXPECT_TRUE(ui::SharePixels(bitmap, kept));
        EXPECT_EQ(bitmap.Width(), 8);
        EXPECT_EQ(bitmap.Height(), 8);
        EXPECT_EQ(changes, 0);
    }
}
