#include "controls/ImgBtn.h"
#include "toolkit/Controls.h"

#include "Ui.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::vector<String> kBitmapNames = {"PLAY_UNPRESSED",  "PLAY_HIGHLIGHT",  "PLAY_PRESSED",
                                          "PAUSE_UNPRESSED", "PAUSE_HIGHLIGHT", "PAUSE_PRESSED"};

std::vector<String> DefinitionNames() {
    std::vector<String> names;
    for (const char* button : {"ImgBtn12", "ImgBtn13", "ImgBtn14"})
        for (const char* kind : {"Picture", "OverPict", "DownPict", "UpPict"})
            names.push_back(String(button) + "_" + kind);
    return names;
}

// 30 x 29 with opaque white corners, so the skins blend into the white transport bar.
void ExpectButtonSized(const ui::TPixels& image, const String& what) {
    ASSERT_EQ((std::array{image.Width, image.Height}), (std::array{30, 29})) << what;
    for (const auto& [x, y] : {std::pair{0, 0}, {29, 0}, {0, 28}, {29, 28}})
        EXPECT_EQ(image.At(x, y), clWhite) << what << " at " << x << "," << y;
}

std::array<int, 4> Bounds(const TControl& control) {
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

} // namespace

TEST(Skins, NamedBitmapsAreThirtyByTwentyNineAndAllDiffer) {
    std::vector<ui::TPixels> images;
    for (const String& name : kBitmapNames) {
        TBitmap bitmap;
        bitmap.LoadFromResourceName(name);
        images.push_back(ui::Pixels(bitmap));
        ExpectButtonSized(images.back(), name);
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << kBitmapNames[i] << " vs " << kBitmapNames[j];
}

TEST(Skins, DefinitionPicturesAreThirtyByTwentyNine) {
    for (const String& name : DefinitionNames()) {
        TPicture picture;
        picture.LoadFromDefinition(name);
        ExpectButtonSized(ui::Pixels(*picture.Bitmap()), name);
    }
}

TEST(Skins, LookupIgnoresCase) {
    const std::vector<std::pair<String, String>> cases = {
        {"play_unpressed", "PLAY_UNPRESSED"}, {"play_highlight", "PLAY_HIGHLIGHT"},
        {"Play_Pressed", "PLAY_PRESSED"},     {"pause_highlight", "PAUSE_HIGHLIGHT"},
        {"pause_pressed", "PAUSE_PRESSED"},
    };
    for (const auto& [asked, stored] : cases) {
        TBitmap byAsked, byStored;
        byAsked.LoadFromResourceName(asked);
        byStored.LoadFromResourceName(stored);
        EXPECT_EQ(ui::Pixels(byAsked), ui::Pixels(byStored)) << asked;
    }
    TBitmap play, pause;
    play.LoadFromResourceName("play_unpressed");
    pause.LoadFromResourceName("PAUSE_UNPRESSED");
    EXPECT_NE(ui::Pixels(play), ui::Pixels(pause));
}

// The play/pause button as the main window defines it, then every skin swap it can go through.
TEST(Skins, SwappingSkinsNeverResizesAnAutoSizedButton) {
    TPanel bar;
    TImgBtn button(&bar);
    const std::array bounds{484, 16, 30, 29};
    button.SetBounds(484, 16, 30, 29);
    button.SetAutoSize(true);
    button.SetEnabled(true);
    TPicture shown, over, down, up;
    shown.LoadFromDefinition("ImgBtn12_Picture");
    over.LoadFromDefinition("ImgBtn12_OverPict");
    down.LoadFromDefinition("ImgBtn12_DownPict");
    up.LoadFromDefinition("ImgBtn12_UpPict");
    button.Picture()->Assign(&shown);
    button.SetOverPict(&over);
    button.SetDownPict(&down);
    button.SetUpPict(&up);
    EXPECT_EQ(Bounds(button), bounds);

    for (const char* prefix : {"play", "PAUSE", "play"}) {
        const String p = prefix;
        button.Picture()->Bitmap()->LoadFromResourceName(p + "_unpressed");
        button.OverPict()->Bitmap()->LoadFromResourceName(p + "_highlight");
        button.UpPict()->Bitmap()->LoadFromResourceName(p + "_unpressed");
        button.DownPict()->Bitmap()->LoadFromResourceName(p + "_pressed");
        EXPECT_EQ(Bounds(button), bounds) << prefix;
        for (bool enabled : {false, true}) {
            button.SetEnabled(enabled); // displays DisPict (empty) or UpPict
            EXPECT_EQ(Bounds(button), bounds) << prefix;
        }
    }
}
