// The scenes people have, opened on Windows through the program's own loader and compared frame
// by frame with FFmpeg's decode of the same file (written by the Linux build beside the scenes):
// the formats the system's AVIFile codecs decode, the ones only Media Foundation decodes, and the
// uncompressed layouts our own conversion hands to DrawDib. Then bad input through those ways.

#include "FormFixture.h"
#include "FrameColours.h"
#include "ReferenceFrames.h"
#include "RowName.h"
#include "TempDir.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

struct SceneRow : NamedRow {
    const char* file;
    bool lossless; // every pixel as FFmpeg decodes it; otherwise within a few levels
    // Why Wine does not decode the scene, and what a real Windows does with it; nullptr: it
    // must open here.
    const char* notUnderWine = nullptr;
    // Why Wine's reader leaves the colours in doubt (they are then only held to the bounds of a
    // wrong range), and what a real Windows does.
    const char* coloursUnderWine = nullptr;
};

class WindowsScenes : public FormTest, public ::testing::WithParamInterface<SceneRow> {};

TEST_P(WindowsScenes, OpenThroughTheLoaderAsFFmpegDecodesThem) {
    const SceneRow& row = GetParam();
    const String path = Fixture(row.file);
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << row.file << " was not generated: the Linux build's FFmpeg has no encoder";
    const std::vector<ReferenceFrame> reference =
        ReadReferenceFrames(Fixture(std::string("reference/") + row.file + ".frames"));
    ASSERT_EQ(reference.size(), 10u) << "FFmpeg's decode of " << row.file;

    Make();
    Open(path);
    if (row.notUnderWine && form->FrameCount() == 0)
        GTEST_SKIP() << row.file << " gives " << ::testing::PrintToString(messages)
                     << ::testing::PrintToString(errors) << " here: " << row.notUnderWine;
    EXPECT_EQ(messages, std::vector<String>{});
    EXPECT_EQ(errors, std::vector<String>{});
    EXPECT_TRUE(form->SceneLoaded());
    ASSERT_EQ(form->FrameCount(), int(reference.size()));
    const bool looseColours = row.coloursUnderWine && UnderWine();
    double worst = 0;
    for (int i = 0; i < form->FrameCount(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const ui::TPixels ours = ui::Pixels(*form->Frame(i));
        const ReferenceFrame& theirs = reference[std::size_t(i)];
        ASSERT_EQ(ours.Width, theirs.width);
        ASSERT_EQ(ours.Height, theirs.height);
        const std::uint32_t centre = ours.At(ours.Width / 2, ours.Height / 2);
        EXPECT_EQ(
            FrameIndexOf(int(centre >> 16), int((centre >> 8) & 0xFF), int(centre & 0xFF), 10), i);
        // Lossy frames differ by the rounding of two conversions (a level or two); a wrong
        // matrix, range, plane, row order or frame moves whole areas by ten levels and more.
        const double difference = MeanDifference(ours.Width, ours.Height, ours.Data, theirs);
        EXPECT_GE(difference, 0);
        EXPECT_LE(difference, row.lossless ? 0.0 : looseColours ? 16.0 : 4.0);
        worst = std::max(worst, difference);
    }
    std::printf("%s: %d frames of %dx%d, mean difference per channel at most %.2f\n", row.file,
                form->FrameCount(), reference[0].width, reference[0].height, worst);
    if (looseColours)
        GTEST_SKIP() << "frames and order checked, colours only roughly: " << row.coloursUnderWine;
}

constexpr const char* kNoH264InAvi =
    "Wine's reader refuses H.264 in AVI (E_FAIL from its GStreamer source); a real Windows reads "
    "it with its AVI source and H.264 decoder";
constexpr const char* kJpegRange =
    "Wine's reader decodes inside its source and names neither the codec nor the range, so "
    "MJPEG in QuickTime is taken as limited-range video; a real Windows names the codec (MJPG) "
    "and the range follows JPEG's, as in an AVI, whose header names it under Wine too";
constexpr const char* kNoProres =
    "Wine's GStreamer has no ProRes decoder, so its reader refuses the file; a real Windows has "
    "none either and reports the file as one without a decompressor";

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsScenes,
    ::testing::Values(
        // Through Media Foundation: a stock Windows 10/11 decodes these itself.
        SceneRow{"mp4H264", "mp4_10.mp4", false},
        SceneRow{"mp4H264At720p", "mp4_h264_1280x720.mp4", false},
        SceneRow{"mp4H264CodedLargerThanShown", "mp4_h264_100x60.mp4", false},
        SceneRow{"mp4Mpeg4Part2", "mp4_mpeg4_10.mp4", false},
        SceneRow{"aviMjpeg", "mjpeg_10.avi", false},
        SceneRow{"movMjpeg", "mov_mjpeg_10.mov", false, nullptr, kJpegRange},
        SceneRow{"aviXvid", "xvid_10.avi", false}, SceneRow{"aviMpeg4Part2", "mpeg4_10.avi", false},
        SceneRow{"aviH264", "h264_10.avi", false, kNoH264InAvi},
        // Through Media Foundation where Windows has a decoder: HEVC and VP9 with Microsoft's
        // free extensions, H.263 and VP8 depending on the version. Wine decodes them all with
        // GStreamer.
        SceneRow{"threeGpH263", "3gp_h263_10.3gp", false},
        SceneRow{"mp4Hevc", "mp4_hevc_10.mp4", false}, SceneRow{"mkvVp9", "mkv_vp9_10.mkv", false},
        SceneRow{"webmVp9", "webm_vp9_10.webm", false},
        SceneRow{"webmVp8", "webm_vp8_10.webm", false},
        SceneRow{"movProres", "mov_prores_10.mov", false, kNoProres},
        // Uncompressed frames DrawDib cannot draw as AVIFile hands them out, converted by us.
        SceneRow{"aviRawTopDown", "raw24_topdown_10.avi", true},
        SceneRow{"aviRaw565", "raw565_10.avi", true},
        // The system's own codecs through AVIFile, as before.
        SceneRow{"aviRaw24", "raw24_10.avi", true}, SceneRow{"aviRaw32", "raw32_10.avi", true},
        SceneRow{"aviPal8", "pal8_10.avi", true}, SceneRow{"aviRle8", "rle8_10.avi", true},
        SceneRow{"aviRaw555", "raw16_10.avi", true},
        SceneRow{"aviMsVideo1", "msvideo1_10.avi", false},
        SceneRow{"aviCinepak", "cinepak_10.avi", false}),
    RowName());

struct BadRow : NamedRow {
    const char* file;
    std::vector<String> messages; // message boxes, in order
    std::vector<String> errors;   // error boxes, in order
    int frames;                   // -1: whatever plays of it, in order
};

class BadInput : public FormTest, public ::testing::WithParamInterface<BadRow> {};

// Each ends as on Linux, in its boxes or with the frames that decode, and lets go of the file.
TEST_P(BadInput, EndsInItsMessagesAndLetsGoOfTheFile) {
    const BadRow& row = GetParam();
    TempDir tmp;
    const String copy = tmp.File(row.file);
    ASSERT_TRUE(std::filesystem::copy_file(TempDir::Name(Fixture(row.file)), TempDir::Name(copy)));
    Make();
    Open(copy);
    EXPECT_EQ(messages, row.messages);
    EXPECT_EQ(errors, row.errors);
    if (row.frames >= 0) {
        EXPECT_EQ(form->FrameCount(), row.frames);
    }
    EXPECT_LE(form->FrameCount(), 10);
    for (int i = 0; i < form->FrameCount(); ++i) {
        const TBitmap& f = *form->Frame(i);
        const std::uint32_t centre = ui::PixelAt(f, f.Width() / 2, f.Height() / 2);
        EXPECT_EQ(
            FrameIndexOf(int(centre >> 16 & 0xFF), int(centre >> 8 & 0xFF), int(centre & 0xFF), 10),
            i);
    }
    // Nothing holds the file any more: it opens for writing, unshared, and goes.
    const HANDLE h = CreateFileW(TempDir::Name(copy).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "still open, error " << GetLastError();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    EXPECT_TRUE(DeleteFileW(TempDir::Name(copy).c_str()));
}

const String kOpenFailed = "Fehler beim Öffnen der Datei.";
const String kFrameOpen = "Error en Frameopen.";

// An MP4 cut before its index (truncated.mp4) is read in a process of its own
// (tests/video/win32/OtherWaysTest.cpp): Wine's reader, failing on it, keeps one of its worker
// threads, and two or three such files in one process leave it none.
INSTANTIATE_TEST_SUITE_P(
    Table, BadInput,
    ::testing::Values(
        BadRow{"textNamedMp4", "text.mp4", {kScenes.NotASceneCode}, {kOpenFailed}, 0},
        BadRow{
            "mp4WithSoundOnly", "audio_only.mp4", {}, {"Fehler beim Öffnen der Datei (Audio)"}, 0},
        BadRow{"mp4CutInALateFrame", "cut_mid_frame.mp4", {}, {}, 8},
        BadRow{"aviCutInAFrame", "truncated.avi", {}, {}, 6},
        BadRow{"strfClaims100000x100000", "huge_strf.avi", {}, {kFrameOpen}, 0},
        BadRow{"picturesBeyondThePixelLimit", "over_pixel_limit.avi", {}, {kFrameOpen}, 0},
        // The decoder reports the size its pictures claim before it finds their data too short
        // (FFmpeg's finds the data short first, and the scene loads with no frame).
        BadRow{"picturesTooBigForTheirData", "huge_jpeg.avi", {}, {kFrameOpen}, 0},
        BadRow{"rateZero", "rate0.avi", {}, {"Gleitkommadivision durch Null."}, 0}),
    RowName());

} // namespace
