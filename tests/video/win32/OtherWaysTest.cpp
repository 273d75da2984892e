// The ways in beyond AVIFile on their own: the conversions into the loader's 32-bit frames, what
// the streams of ours tell the loader, the program where Media Foundation is missing, and files
// for which Wine's reader never returns.

#include "video/SceneReader.h"
#include "video/VFW.h"
#include "video/VFWHandles.h"

#include "FrameColours.h"
#include "WideText.h"
#include "video/FrameConversion.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kFixtures = RS_FIXTURES;

std::string Fixture(const std::string& name) {
    return kFixtures + "/" + name;
}

// ---- Conversions ----

struct Rgb {
    int r, g, b;
};

Rgb Pixel(const std::uint8_t* p) {
    return {p[2], p[1], p[0]};
}

Rgb ConvertOne(YuvMatrix matrix, bool full, int y, int u, int v) {
    const std::uint8_t nv12[4] = {std::uint8_t(y), std::uint8_t(y), std::uint8_t(u),
                                  std::uint8_t(v)}; // 2 x 1 luma, one chroma pair
    std::uint8_t out[8] = {};
    const YuvTables tables = MakeYuvTables(matrix, full);
    YuvToRgb32({YuvLayout::Nv12, nv12, 2, 1}, 0, 0, 2, 1, tables, out, 8);
    return Pixel(out);
}

void ExpectNear(Rgb got, Rgb want, int tolerance = 1) {
    EXPECT_NEAR(got.r, want.r, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.b, want.b, tolerance);
}

TEST(YuvToRgb32, RangeAndMatrixAsTheStandardsDefineThem) {
    ExpectNear(ConvertOne(YuvMatrix::Bt601, false, 16, 128, 128), {0, 0, 0});
    ExpectNear(ConvertOne(YuvMatrix::Bt601, false, 235, 128, 128), {255, 255, 255});
    ExpectNear(ConvertOne(YuvMatrix::Bt601, true, 0, 128, 128), {0, 0, 0});
    ExpectNear(ConvertOne(YuvMatrix::Bt601, true, 255, 128, 128), {255, 255, 255});
    // Video's black and white are grey under the full range, and clip under the limited one.
    ExpectNear(ConvertOne(YuvMatrix::Bt601, true, 16, 128, 128), {16, 16, 16});
    ExpectNear(ConvertOne(YuvMatrix::Bt601, false, 0, 128, 128), {0, 0, 0});
    // Pure red in each matrix, limited range.
    ExpectNear(ConvertOne(YuvMatrix::Bt601, false, 81, 90, 240), {255, 0, 0}, 2);
    ExpectNear(ConvertOne(YuvMatrix::Bt709, false, 63, 102, 240), {255, 0, 0}, 2);
    // One colour read with each: green alone moves by 16 levels between the two.
    ExpectNear(ConvertOne(YuvMatrix::Bt601, false, 100, 150, 170), {165, 55, 142});
    ExpectNear(ConvertOne(YuvMatrix::Bt709, false, 100, 150, 170), {173, 71, 144});
    // Full-range red of JPEG (BT.601).
    ExpectNear(ConvertOne(YuvMatrix::Bt601, true, 76, 85, 255), {255, 0, 0}, 2);
}

// A 6 x 4 picture whose 2 x 2 blocks each have their own Y, U and V, in every layout.
struct Layouts {
    static constexpr int kW = 6, kH = 4;
    std::vector<std::uint8_t> nv12, i420, yv12, yuy2;

    Layouts() {
        const auto y = [](int x, int r) { return std::uint8_t(40 + 30 * x + 10 * r); };
        const auto u = [](int bx, int by) { return std::uint8_t(60 + 40 * bx + 20 * by); };
        const auto v = [](int bx, int by) { return std::uint8_t(200 - 30 * bx - 25 * by); };
        for (int r = 0; r < kH; ++r)
            for (int x = 0; x < kW; ++x) {
                nv12.push_back(y(x, r));
                i420.push_back(y(x, r));
            }
        yv12 = i420;
        for (int by = 0; by < kH / 2; ++by)
            for (int bx = 0; bx < kW / 2; ++bx) {
                nv12.push_back(u(bx, by));
                nv12.push_back(v(bx, by));
            }
        for (int by = 0; by < kH / 2; ++by)
            for (int bx = 0; bx < kW / 2; ++bx) {
                i420.push_back(u(bx, by));
                yv12.push_back(v(bx, by));
            }
        for (int by = 0; by < kH / 2; ++by)
            for (int bx = 0; bx < kW / 2; ++bx) {
                i420.push_back(v(bx, by));
                yv12.push_back(u(bx, by));
            }
        for (int r = 0; r < kH; ++r)
            for (int bx = 0; bx < kW / 2; ++bx)
                for (std::uint8_t b : {y(2 * bx, r), u(bx, r / 2), y(2 * bx + 1, r), v(bx, r / 2)})
                    yuy2.push_back(b);
    }
};

std::vector<std::uint8_t> Convert(YuvLayout layout, const std::vector<std::uint8_t>& data,
                                  int pitch, int left, int top, int width, int height) {
    std::vector<std::uint8_t> out(std::size_t(width) * height * 4, 0xEE);
    YuvToRgb32({layout, data.data(), pitch, Layouts::kH}, left, top, width, height,
               MakeYuvTables(YuvMatrix::Bt709, false), out.data(), width * 4);
    return out;
}

TEST(YuvToRgb32, EveryLayoutGivesThePictureAndItsVisiblePart) {
    const Layouts l;
    const auto nv12 = Convert(YuvLayout::Nv12, l.nv12, l.kW, 0, 0, l.kW, l.kH);
    EXPECT_EQ(Convert(YuvLayout::I420, l.i420, l.kW, 0, 0, l.kW, l.kH), nv12);
    EXPECT_EQ(Convert(YuvLayout::Yv12, l.yv12, l.kW, 0, 0, l.kW, l.kH), nv12);
    EXPECT_EQ(Convert(YuvLayout::Yuy2, l.yuy2, 2 * l.kW, 0, 0, l.kW, l.kH), nv12);
    // Neighbouring blocks differ, so a chroma sample taken from the wrong block shows.
    EXPECT_NE(std::memcmp(&nv12[0], &nv12[8], 3), 0);
    EXPECT_NE(std::memcmp(&nv12[0], &nv12[std::size_t(2 * l.kW * 4)], 3), 0);
    // The visible part starting at an odd column and row: the same pixels as in the whole.
    const auto part = Convert(YuvLayout::Nv12, l.nv12, l.kW, 1, 1, 4, 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(std::memcmp(&part[std::size_t(r * 16)],
                              &nv12[std::size_t(((r + 1) * l.kW + 1) * 4)], 16),
                  0)
            << "row " << r;
    for (std::size_t i = 3; i < nv12.size(); i += 4)
        EXPECT_EQ(nv12[i], 0);
}

TEST(YuvToRgb32, PicturesTooSmallForTheirPitchAreRefused) {
    EXPECT_EQ(YuvPictureBytes(YuvLayout::Nv12, 64, 64, 48), 64 * 72);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::Nv12, 63, 64, 47), 64 * 71);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::I420, 64, 64, 48), 64 * 48 + 64 * 24);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::Yuy2, 64, 128, 48), 128 * 48);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::Nv12, 64, 63, 48), -1);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::Yuy2, 64, 127, 48), -1);
    EXPECT_EQ(YuvPictureBytes(YuvLayout::I420, 64, 65, 48), -1);
}

TEST(Rgb32ToRgb32, RowsOfEitherOrderArriveTopFirst) {
    // Two rows stored bottom-up: the top row last, reached with a negative pitch.
    const std::uint8_t stored[16] = {1, 2, 3, 0xFF, 4, 5, 6, 0xFF, 7, 8, 9, 0xFF, 10, 11, 12, 0xFF};
    std::uint8_t out[16] = {};
    Rgb32ToRgb32(stored + 8, -8, 2, 2, out, 8);
    const std::uint8_t want[16] = {7, 8, 9, 0, 10, 11, 12, 0, 1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(std::memcmp(out, want, 16), 0);
}

TEST(DibToRgb32, MasksAndRowOrderAsTheHeaderSays) {
    // A top-down 2 x 2 BI_BITFIELDS 5-6-5 picture: channels widened by repeating their high bits.
    std::vector<std::uint8_t> header(52, 0);
    DibHeader h = UncompressedDibHeader(2, -2, 16);
    h.biCompression = kDibBitFields;
    std::memcpy(header.data(), &h, sizeof h);
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(header.data() + 40, masks, sizeof masks);
    const std::uint16_t pixels[4] = {0xF800, 0x07E0, 0x001F, 0x8410}; // red, green, blue, grey
    const auto layout = DibDescribe(h);
    ASSERT_TRUE(layout);
    std::uint32_t out[4] = {};
    ASSERT_TRUE(DibToRgb32(*layout, header.data(), reinterpret_cast<const std::uint8_t*>(pixels),
                           reinterpret_cast<std::uint8_t*>(out), 8));
    EXPECT_EQ(out[0], 0xFF0000u);
    EXPECT_EQ(out[1], 0x00FF00u);
    EXPECT_EQ(out[2], 0x0000FFu);
    EXPECT_EQ(out[3], 0x848284u); // 16 of 31, 32 of 63, 16 of 31
    // The same bytes bottom-up: the rows swap.
    h.biHeight = 2;
    std::memcpy(header.data(), &h, sizeof h);
    ASSERT_TRUE(DibToRgb32(*DibDescribe(h), header.data(),
                           reinterpret_cast<const std::uint8_t*>(pixels),
                           reinterpret_cast<std::uint8_t*>(out), 8));
    EXPECT_EQ(out[0], 0x0000FFu);
    EXPECT_EQ(out[3], 0x00FF00u);
}

// ---- What a stream of ours tells the loader ----

struct Opened : SceneRead {
    std::vector<BITMAPINFOHEADER> headers; // of each frame
    std::vector<FrameRgb> centres;
};

// Opens a scene as the loader does and reads every frame.
Opened Read(const std::string& path) {
    Opened o;
    static_cast<SceneRead&>(o) = ReadScene(
        path.c_str(), [&](LONG, const BITMAPINFOHEADER& dib, const TDrawImage& picture, bool) {
            o.headers.push_back(dib);
            const std::uint32_t p =
                picture.Null() ? 0 : picture.Pixel(picture.Width() / 2, picture.Height() / 2);
            o.centres.push_back({int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)});
            return true;
        });
    return o;
}

struct FactsRow {
    const char* file;
    DWORD rate, scale;
    LONG frames;
    LONG width, height; // of the frames handed out
};

class StreamFacts : public testing::TestWithParam<FactsRow> {};

// The rate the file declares (an AVI's header as stored), the frame count before the first
// frame, the visible picture, bottom-up 32-bit frames, each frame once and in order.
TEST_P(StreamFacts, AsTheFileMeansThem) {
    const FactsRow& row = GetParam();
    const Opened o = Read(Fixture(row.file));
    ASSERT_EQ(o.open, AVIERR_OK);
    ASSERT_EQ(o.stream, AVIERR_OK);
    EXPECT_EQ(o.info.dwRate, row.rate);
    EXPECT_EQ(o.info.dwScale, row.scale);
    EXPECT_EQ(o.end, row.frames);
    ASSERT_TRUE(o.decompressor);
    ASSERT_EQ(LONG(o.headers.size()), row.frames);
    for (std::size_t i = 0; i < o.headers.size(); ++i) {
        EXPECT_EQ(o.headers[i].biWidth, row.width);
        EXPECT_EQ(o.headers[i].biHeight, row.height); // positive: bottom-up, as DrawDib draws
        EXPECT_EQ(o.headers[i].biBitCount, 32);
        EXPECT_EQ(o.headers[i].biCompression, DWORD(BI_RGB));
        const FrameRgb c = o.centres[i];
        EXPECT_EQ(FrameIndexOf(c.r, c.g, c.b, 10), int(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, StreamFacts,
                         testing::Values(FactsRow{"mp4_10.mp4", 25, 1, 10, 64, 48},
                                         FactsRow{"mp4_h264_100x60.mp4", 25, 1, 10, 100, 60},
                                         FactsRow{"mjpeg_10.avi", 25, 2, 10, 64, 48},
                                         FactsRow{"raw24_topdown_10.avi", 25, 1, 10, 64, 48},
                                         FactsRow{"raw565_10.avi", 25, 1, 10, 64, 48}),
                         [](const testing::TestParamInfo<FactsRow>& p) {
                             std::string name = p.param.file;
                             for (char& ch : name)
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST(StreamFacts, GoingBackStartsTheDecodeOver) {
    PAVIFILE rawFile = nullptr;
    ASSERT_EQ(AVIFileOpenPath(&rawFile, Fixture("mp4_10.mp4").c_str()), AVIERR_OK);
    const AviFilePtr file(rawFile);
    PAVISTREAM rawStream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file.get(), &rawStream, streamtypeVIDEO, 0), AVIERR_OK);
    const AviStreamPtr stream(rawStream);
    const GetFramePtr frames(AVIStreamGetFrameOpen(stream.get(), nullptr));
    ASSERT_TRUE(frames);
    const auto centreIndex = [&](LONG n) {
        const auto* h = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames.get(), n));
        if (!h)
            return -1;
        const auto* c = reinterpret_cast<const std::uint8_t*>(h) + h->biSize +
                        (std::size_t(h->biHeight / 2) * h->biWidth + h->biWidth / 2) * 4;
        return FrameIndexOf(c[2], c[1], c[0], 10);
    };
    EXPECT_EQ(centreIndex(5), 5);
    EXPECT_EQ(centreIndex(5), 5);
    EXPECT_EQ(centreIndex(2), 2);
    EXPECT_EQ(centreIndex(9), 9);
    EXPECT_EQ(centreIndex(10), -1);
    EXPECT_EQ(centreIndex(11), -1);
    EXPECT_EQ(centreIndex(0), 0);
}

TEST(StreamFacts, SoundWithoutPicturesHasNoVideoStream) {
    const Opened o = Read(Fixture("audio_only.mp4"));
    EXPECT_EQ(o.open, AVIERR_OK);
    EXPECT_EQ(o.stream, AVIERR_NODATA);
}

// ---- In a process of its own ----

// The child's part: opens each scene and reports "<open result> <frames, or -1 without a
// decompressor>" on a line of its own, as soon as it knows.
int DecodeInChild(int count, char** paths) {
    std::printf("mfplat %d\n", LoadLibraryW(L"mfplat.dll") != nullptr);
    std::fflush(stdout);
    for (int i = 0; i < count; ++i) {
        const Opened o = Read(paths[i]);
        std::printf("%08lx %d\n", static_cast<unsigned long>(o.open),
                    o.decompressor ? int(o.headers.size()) : -1);
        std::fflush(stdout);
    }
    return 0;
}

// `program` with `--decode` and the scenes; its output once it has ended, or within `seconds`.
std::string RunChild(const std::wstring& program, const std::vector<std::string>& scenes,
                     DWORD seconds) {
    std::wstring command = L"\"" + program + L"\" --decode";
    for (const std::string& scene : scenes)
        command += L" \"" + Wide(scene) + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 1 << 16))
        return "no pipe";
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &si, &pi);
    CloseHandle(write);
    if (!started) {
        CloseHandle(read);
        return "not started";
    }
    CloseHandle(pi.hThread);
    std::string output;
    const auto drain = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            if (!ReadFile(read, chunk.data(), available, &got, nullptr))
                break;
            output.append(chunk, 0, got);
        }
    };
    const DWORD until = GetTickCount() + seconds * 1000;
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() < until)
        drain();
    drain();
    TerminateProcess(pi.hProcess, 1); // gone already, unless it hangs
    CloseHandle(pi.hProcess);
    CloseHandle(read);
    // The child's standard output is text: its lines end in CR LF.
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return output;
}

std::wstring ThisProgram() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::wstring(self, length);
}

// A copy of this program for which Wine loads no Media Foundation, as on a Windows "N" edition
// without its Media Feature Pack; removed with its setting at the end.
class WithoutMediaFoundationCopy {
public:
    WithoutMediaFoundationCopy() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        FPath = std::wstring(temp) + L"rs-without-media-foundation.exe";
        CopyFileW(ThisProgram().c_str(), FPath.c_str(), FALSE);
        for (const wchar_t* dll : {L"mfplat", L"mfreadwrite"})
            RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\DllOverrides").c_str(),
                            dll, REG_SZ, L"disabled", sizeof L"disabled");
    }
    ~WithoutMediaFoundationCopy() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        DeleteFileW(FPath.c_str());
    }
    WithoutMediaFoundationCopy(const WithoutMediaFoundationCopy&) = delete;
    WithoutMediaFoundationCopy& operator=(const WithoutMediaFoundationCopy&) = delete;
    const std::wstring& Path() const { return FPath; }

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Wine\\AppDefaults\\rs-without-media-foundation.exe";
    std::wstring FPath;
};

TEST(WithoutMediaFoundation, WhatAviFileAndOurConversionDecodeStillPlays) {
    const WithoutMediaFoundationCopy copy;
    const std::string output =
        RunChild(copy.Path(),
                 {Fixture("mp4_10.mp4"), Fixture("mjpeg_10.avi"), Fixture("raw24_topdown_10.avi"),
                  Fixture("raw565_10.avi"), Fixture("cinepak_10.avi")},
                 120);
    if (output.rfind("mfplat 1", 0) == 0)
        GTEST_SKIP() << "Media Foundation cannot be hidden from a program here (only Wine's DLL "
                        "overrides can)";
    EXPECT_EQ(output, "mfplat 0\n"
                      "8004406d -1\n" // not an AVI: AVIFile's own answer (Wine's FILEREAD)
                      "00000000 -1\n" // no MJPEG decompressor
                      "00000000 10\n" // our own conversion needs no Media Foundation
                      "00000000 10\n"
                      "00000000 10\n");
}

// Wine's reader waits forever for the first two (its GStreamer pipeline ends before it tells the
// pictures' format): given up after a while, the file is answered as if Media Foundation could
// not read it, and Media Foundation is left alone for the rest of the run. The child's exit is
// not looked at: Wine's process crashes on its way out while that reader's thread still waits.
TEST(ReaderThatNeverReturns, IsGivenUpAndTheLoaderGoesOn) {
    const std::string output = RunChild(ThisProgram(),
                                        {Fixture("cut_early.mp4"), Fixture("junk_packets.avi"),
                                         Fixture("mp4_10.mp4"), Fixture("cinepak_10.avi")},
                                        60);
    std::istringstream lines(output);
    std::string line;
    std::vector<std::string> answers;
    while (std::getline(lines, line))
        answers.push_back(line);
    ASSERT_EQ(answers.size(), 5u) << "the child answered only:\n" << output;
    std::printf("cut_early.mp4, junk_packets.avi, mp4_10.mp4: %s, %s, %s\n", answers[1].c_str(),
                answers[2].c_str(), answers[3].c_str());
    EXPECT_EQ(answers[4], "00000000 10"); // what AVIFile decodes still plays
}

// Media Foundation refuses these (text named .mp4, an MP4 cut before its index): the answer is
// AVIFile's, as before. In a process of its own: Wine's reader, failing on a damaged MP4, keeps
// one of its worker threads for good.
TEST(NotReadByEitherWay, KeepsAviFilesAnswer) {
    const std::string output =
        RunChild(ThisProgram(), {Fixture("text.mp4"), Fixture("truncated.mp4")}, 60);
    std::istringstream lines(output);
    std::string line;
    std::getline(lines, line); // whether Media Foundation loads
    for (const char* file : {"text.mp4", "truncated.mp4"}) {
        ASSERT_TRUE(std::getline(lines, line)) << file << " not answered:\n" << output;
        EXPECT_EQ(line, "8004406d -1") << file; // FILEREAD under Wine, as for text.avi
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--decode") == 0) {
        VideoStartup();
        const int rc = DecodeInChild(argc - 2, argv + 2);
        std::fflush(stdout);
        VideoShutdown();
        return rc;
    }
    testing::InitGoogleTest(&argc, argv);
    const HRESULT com = CoInitialize(nullptr);
    VideoStartup();
    const int rc = RUN_ALL_TESTS();
    VideoShutdown();
    if (SUCCEEDED(com))
        CoUninitialize();
    return rc;
}
