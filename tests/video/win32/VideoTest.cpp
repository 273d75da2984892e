// The video layer on the system's own AVIFile and DrawDib, driven through the loader's sequence
// of calls (the scene reader), against scenes the system's codecs decode and against bad input.

#include "base/Unicode.h"
#include "video/SceneReader.h"
#include "video/VFW.h"

#include "FrameColours.h"
#include "GdiCount.h"
#include "WideText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kFixtures = RS_FIXTURES;

struct Decoded : SceneRead {
    std::vector<FrameRgb> centre; // per decoded frame
    int bandNotBlack = 0;         // frames whose top rows are not black (upside down, garbled)
    int undrawable = 0;           // frames whose layout DibBitsOffset refuses
};

FrameRgb Pixel(const TDrawImage& image, int x, int y) {
    const std::uint32_t p = image.Pixel(x, y);
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
}

// What the loader does with a scene, step by step, each frame drawn into an image of its own.
Decoded Decode(const std::string& path) {
    Decoded d;
    static_cast<SceneRead&>(d) = ReadScene(
        path.c_str(), [&](LONG, const BITMAPINFOHEADER&, const TDrawImage& picture, bool) {
            if (picture.Null()) {
                ++d.undrawable;
                return true;
            }
            d.centre.push_back(Pixel(picture, picture.Width() / 2, picture.Height() / 2));
            const FrameRgb band = Pixel(picture, picture.Width() / 2, 1);
            if (band.r + band.g + band.b > 24)
                ++d.bandNotBlack;
            return true;
        });
    return d;
}

std::string Fixture(const char* name) {
    return kFixtures + "/" + name;
}

// ---- Scenes the system's own codecs decode ----

class SystemCodecs : public testing::TestWithParam<const char*> {};

TEST_P(SystemCodecs, EveryFrameArrivesInOrderUpright) {
    const Decoded d = Decode(Fixture(GetParam()));
    ASSERT_EQ(d.open, AVIERR_OK);
    ASSERT_EQ(d.stream, AVIERR_OK);
    ASSERT_TRUE(d.decompressor) << "no decompressor";
    EXPECT_EQ(d.begin, AVIERR_OK);
    EXPECT_EQ(d.start, 0);
    EXPECT_EQ(d.end, 10);
    EXPECT_EQ(d.undrawable, 0);
    EXPECT_EQ(d.bandNotBlack, 0);
    ASSERT_EQ(d.centre.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const FrameRgb want = FrameColour(i);
        const FrameRgb got = d.centre[std::size_t(i)];
        // Lossy codecs and 5-bit channels stay well inside half a colour step (21).
        EXPECT_LE(std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b),
                  30)
            << "frame " << i << ": " << got.r << "," << got.g << "," << got.b;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, SystemCodecs,
                         testing::Values("pal8_10.avi", "raw16_10.avi", "raw24_10.avi",
                                         "raw32_10.avi", "msvideo1_10.avi", "cinepak_10.avi",
                                         "rle8_10.avi"),
                         [](const testing::TestParamInfo<const char*>& p) {
                             std::string name = p.param;
                             return name.substr(0, name.find('_'));
                         });

TEST(SystemCodecs, StreamInfoCarriesTheHeadersRateAndScale) {
    const Decoded d = Decode(Fixture("raw24_10.avi"));
    EXPECT_EQ(d.info.dwRate, 30000u);
    EXPECT_EQ(d.info.dwScale, 1001u);
}

// ---- Bad input: where the loader's sequence stops, and with which result ----

struct BadInput {
    const char* name;
    HRESULT open;   // AVIFileOpenPath
    HRESULT stream; // AVIFileGetStream, when the file opened
    bool frameOpen; // AVIStreamGetFrameOpen, when there was a stream
    DWORD rate;     // dwRate, when a decompressor opened
};

class BadInputs : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, StopWhereTheLoaderReportsThem) {
    const BadInput& want = GetParam();
    const Decoded d = Decode(Fixture(want.name));
    ASSERT_EQ(d.open, want.open) << std::hex << d.open;
    if (d.open != AVIERR_OK)
        return;
    ASSERT_EQ(d.stream, want.stream) << std::hex << d.stream;
    if (d.stream != AVIERR_OK)
        return;
    ASSERT_EQ(d.decompressor, want.frameOpen);
    if (d.decompressor) {
        EXPECT_EQ(d.info.dwRate, want.rate);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputs,
    testing::Values(BadInput{"missing.avi", AVIERR_FILEOPEN, 0, false, 0},
                    BadInput{"text.avi", AVIERR_FILEREAD, 0, false, 0},
                    BadInput{"empty.avi", AVIERR_FILEREAD, 0, false, 0},
                    BadInput{"audio_only.avi", AVIERR_OK, AVIERR_NODATA, false, 0},
                    BadInput{"raw32_rate0.avi", AVIERR_OK, AVIERR_OK, true, 0}),
    [](const testing::TestParamInfo<BadInput>& p) {
        std::string name = p.param.name;
        return name.substr(0, name.find('.'));
    });

// ---- File names beyond the code page, and what stays open afterwards ----

std::string TempFolder() {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    return Utf8({temp, length});
}

TEST(FileNames, AnyUnicodeNameOpensAndNothingKeepsTheFileOpen) {
    // "Szene äöü 雪 ✓.avi": outside every single code page at once.
    const std::string path =
        TempFolder() + "Szene \xC3\xA4\xC3\xB6\xC3\xBC \xE9\x9B\xAA \xE2\x9C\x93.avi";
    ASSERT_TRUE(CopyFileW(Wide(Fixture("raw24_10.avi")).c_str(), Wide(path).c_str(), FALSE));

    const Decoded d = Decode(path);
    EXPECT_EQ(d.open, AVIERR_OK) << std::hex << d.open;
    EXPECT_EQ(d.centre.size(), 10u);

    // Every handle of the decode is released: the file opens exclusively and can be deleted.
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "still open, error " << GetLastError();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    EXPECT_TRUE(DeleteFileW(Wide(path).c_str()));
}

// Broken bytes in a name open no file, not even the one their replacement character would name.
TEST(FileNames, BytesThatAreNotUtf8OpenNoOtherFile) {
    const std::string replaced = TempFolder() + "Szene \xEF\xBF\xBD.avi";
    ASSERT_TRUE(CopyFileW(Wide(Fixture("raw24_10.avi")).c_str(), Wide(replaced).c_str(), FALSE));
    PAVIFILE file = nullptr;
    EXPECT_EQ(AVIFileOpenPath(&file, (TempFolder() + "Szene \xFF.avi").c_str()), AVIERR_FILEOPEN);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(Decode(replaced).open, AVIERR_OK);
    EXPECT_TRUE(DeleteFileW(Wide(replaced).c_str()));
}

// ---- No leaked GDI object over repeated opens ----

TEST(Handles, TwentyOpensLeaveNoGdiObjectBehind) {
    // The first decode loads the codecs and DrawDib, which keep their own objects for good.
    Decode(Fixture("msvideo1_10.avi"));
    Decode(Fixture("cinepak_10.avi"));
    const unsigned before = GdiObjectCount();
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Decode(Fixture("msvideo1_10.avi")).centre.size(), 10u);
        ASSERT_EQ(Decode(Fixture("cinepak_10.avi")).centre.size(), 10u);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    VideoStartup();
    const int rc = RUN_ALL_TESTS();
    VideoShutdown();
    return rc;
}
