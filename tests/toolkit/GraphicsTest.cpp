#include "toolkit/Graphics.h"
#include "toolkit/Exception.h"

#include "MessageOf.h"
#include "Ui.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
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
