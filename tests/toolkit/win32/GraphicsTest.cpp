// The toolkit's bitmaps on Win32: sizes, sharing, drawing by DrawDib, the program's bitmap
// resources, and the GDI objects they hold (none at rest). The rules every back end shares, the
// memory check among them, are tested in tests/toolkit.

#include "toolkit/Graphics.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Pixels.h"
#include "video/VFWHandles.h"

#include "GdiCount.h"
#include "MessageOf.h"
#include "Ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using ui::PixelAt;

// Fills an area of the bitmap through its canvas, as DrawDib draws.
void Paint(TDrawTarget* canvas, COLORREF colour, RECT area) {
    const TDrawPixels pixels = canvas->TargetPixels();
    ASSERT_NE(pixels.bits, nullptr);
    const std::uint32_t pixel =
        GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    for (LONG y = area.top; y < area.bottom; ++y)
        std::fill(reinterpret_cast<std::uint32_t*>(pixels.bits + y * pixels.stride) + area.left,
                  reinterpret_cast<std::uint32_t*>(pixels.bits + y * pixels.stride) + area.right,
                  pixel);
}

void Paint(TBitmap& bitmap, COLORREF colour, RECT area) {
    Paint(bitmap.Canvas()->Handle(), colour, area);
}

void Paint(TBitmap& bitmap, COLORREF colour) {
    Paint(bitmap, colour, {0, 0, bitmap.Width(), bitmap.Height()});
}

// A packed DIB: header, colour table, rows bottom-up.
struct Dib {
    std::vector<std::uint8_t> bytes;
    const BITMAPINFOHEADER* Header() const {
        return reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
    }
    const void* Bits() const { return bytes.data() + DibBitsOffset(*Header()); }
};

// 3 x 2 pixels: top row red, green, blue; bottom row white, black, grey.
constexpr std::uint32_t kTop[] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr std::uint32_t kBottom[] = {0xFFFFFF, 0x000000, 0x808080};

Dib MakeDib(int bitCount) {
    const int w = 3;
    const int h = 2;
    const std::vector<std::uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF,
                                                0xFFFFFF, 0x000000, 0x808080};
    const int colours = bitCount == 8 ? int(palette.size()) : 0;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = WORD(bitCount);
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(colours);
    const int stride = ((w * bitCount + 31) / 32) * 4;
    header.biSizeImage = DWORD(stride * h);

    Dib dib;
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&header);
    dib.bytes.assign(raw, raw + sizeof header);
    for (int i = 0; i < colours; ++i) {
        const std::uint32_t c = palette[std::size_t(i)];
        dib.bytes.insert(dib.bytes.end(),
                         {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
    }
    for (const auto* row : {kBottom, kTop}) { // bottom-up
        std::vector<std::uint8_t> line(std::size_t(stride), 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = row[x];
            if (bitCount == 8) {
                line[std::size_t(x)] = std::uint8_t((row == kTop ? 0 : 3) + x);
            } else {
                line[std::size_t(x) * 3] = std::uint8_t(c);
                line[std::size_t(x) * 3 + 1] = std::uint8_t(c >> 8);
                line[std::size_t(x) * 3 + 2] = std::uint8_t(c >> 16);
            }
        }
        dib.bytes.insert(dib.bytes.end(), line.begin(), line.end());
    }
    return dib;
}

// The loader's sequence: a handle while the bitmap is still empty, then the size, then the draw.
void DrawFrame(HDRAWDIB drawDib, TBitmap& bitmap, const Dib& dib) {
    const int w = dib.Header()->biWidth;
    const int h = dib.Header()->biHeight;
    TDrawTarget* dc = bitmap.Canvas()->Handle();
    DrawDibBegin(drawDib, dc, 0, 0, dib.Header(), w, h, DDF_ANIMATE);
    DrawDibRealize(drawDib, dc, false);
    bitmap.SetWidth(w);
    bitmap.SetHeight(h);
    dc = bitmap.Canvas()->Handle();
    DrawDibDraw(drawDib, dc, 0, 0, w, h, dib.Header(), dib.Bits(), 0, 0, w, h, 0);
    DrawDibEnd(drawDib);
}

} // namespace

TEST(Bitmap, SizesOneSideAtATimeKeepsContentTopLeftAndFillsNewAreaWhite) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&] { ++changes; };

    bitmap.SetWidth(3);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(BitmapBits(bitmap), nullptr);
    bitmap.SetHeight(2);
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(bitmap, x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(changes, 2);

    // Rows run top-down in memory; colours are 0x00RRGGBB.
    Paint(bitmap, RGB(10, 20, 30), {0, 0, 3, 1});
    EXPECT_EQ(PixelAt(bitmap, 2, 0), 0x0A141Eu);
    EXPECT_EQ(PixelAt(bitmap, 2, 1), 0xFFFFFFu);
    Paint(bitmap, RGB(10, 20, 30));
    bitmap.SetSize(5, 4);
    EXPECT_EQ(PixelAt(bitmap, 2, 1), 0x0A141Eu);
    EXPECT_EQ(PixelAt(bitmap, 3, 1), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(bitmap, 0, 2), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(bitmap, 4, 3), 0xFFFFFFu);
    bitmap.SetSize(2, 1); // smaller keeps the top-left too
    EXPECT_EQ(PixelAt(bitmap, 1, 0), 0x0A141Eu);

    bitmap.SetSize(2, 1); // unchanged: nothing happens
    EXPECT_EQ(changes, 4);

    bitmap.SetSize(-7, 4); // negative counts as 0
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(BitmapBits(bitmap), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 4);
}

TEST(Bitmap, AssignSharesPixelsUntilEitherSideDraws) {
    TBitmap source;
    source.SetSize(4, 3);
    Paint(source, RGB(0, 0, 255));
    const std::uint32_t* pixels = BitmapBits(source);

    TPicture first;
    first.Assign(&source);
    TPicture second;
    second.Assign(&first);
    EXPECT_EQ(BitmapBits(*first.Bitmap()), pixels);
    EXPECT_EQ(BitmapBits(*second.Bitmap()), pixels);
    EXPECT_EQ(second.Width(), 4);
    EXPECT_EQ(second.Height(), 3);

    // Drawing into the middle one copies it first; the others keep the original.
    Paint(*first.Bitmap(), RGB(255, 0, 0));
    EXPECT_NE(BitmapBits(*first.Bitmap()), pixels);
    EXPECT_EQ(PixelAt(*first.Bitmap(), 1, 1), 0xFF0000u);
    EXPECT_EQ(PixelAt(*second.Bitmap(), 1, 1), 0x0000FFu);
    EXPECT_EQ(BitmapBits(*second.Bitmap()), pixels);

    // Same from the source's side.
    Paint(source, RGB(0, 255, 0), {0, 0, 1, 1});
    EXPECT_EQ(PixelAt(source, 0, 0), 0x00FF00u);
    EXPECT_EQ(PixelAt(*second.Bitmap(), 0, 0), 0x0000FFu);
    EXPECT_EQ(BitmapBits(*second.Bitmap()), pixels);

    // A handle taken before the pixels were shared draws into its own bitmap alone.
    TBitmap lender;
    lender.SetSize(2, 2);
    TDrawTarget* early = lender.Canvas()->Handle();
    TBitmap borrower;
    borrower.Assign(&lender);
    Paint(early, RGB(0, 0, 0), {0, 0, 2, 2});
    EXPECT_EQ(PixelAt(borrower, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(lender, 1, 1), 0x000000u);
}

TEST(Bitmap, DrawDibDrawsUncompressedFramesUprightInTheirColours) {
    DrawDibPtr drawDib(DrawDibOpen());
    ASSERT_TRUE(drawDib);
    for (const int bitCount : {24, 8}) {
        TBitmap bitmap;
        DrawFrame(drawDib.get(), bitmap, MakeDib(bitCount));
        ASSERT_EQ(bitmap.Width(), 3);
        ASSERT_EQ(bitmap.Height(), 2);
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelAt(bitmap, x, 0), kTop[x]) << bitCount << " bits, x " << x;
            EXPECT_EQ(PixelAt(bitmap, x, 1), kBottom[x]) << bitCount << " bits, x " << x;
        }
    }
}

TEST(Bitmap, LoadsTheProgramsBitmapResourcesByNameInAnyCase) {
    TBitmap stored;
    stored.LoadFromResourceName("PLAY_PRESSED");
    ASSERT_EQ(stored.Width(), 30);
    ASSERT_EQ(stored.Height(), 29);
    EXPECT_EQ(PixelAt(stored, 0, 0), 0xFFFFFFu); // the skins' corners are white
    for (const char* asked : {"play_pressed", "Play_Pressed"}) {
        TBitmap bitmap;
        bitmap.LoadFromResourceName(asked);
        ASSERT_EQ(bitmap.Width(), 30) << asked;
        bool same = true;
        for (int y = 0; y < 29; ++y)
            for (int x = 0; x < 30; ++x)
                same = same && PixelAt(bitmap, x, y) == PixelAt(stored, x, y);
        EXPECT_TRUE(same) << asked;
    }
    TBitmap pause;
    pause.LoadFromResourceName("PAUSE_PRESSED");
    bool differ = false;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 30; ++x)
            differ = differ || PixelAt(pause, x, y) != PixelAt(stored, x, y);
    EXPECT_TRUE(differ);

    // Neither a resource number nor a picture's file name is a bitmap's name (the other unknown
    // names: tests/toolkit GraphicsTest).
    const std::uint32_t* kept = BitmapBits(stored);
    for (const char* name : {"#2", "ImgBtn12_Picture.bmp"}) {
        EXPECT_THROW(stored.LoadFromResourceName(name), Exception) << name;
        EXPECT_EQ(BitmapBits(stored), kept) << name;
    }
}

TEST(Picture, LoadsDefinitionPicturesAndBitmapFiles) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromDefinition("ImgBtn12_Picture");
    EXPECT_EQ(picture.Width(), 30);
    EXPECT_EQ(picture.Height(), 29);
    EXPECT_EQ(changes, 1);
    TPicture lower;
    lower.LoadFromDefinition("imgbtn12_picture");
    EXPECT_EQ(PixelAt(*lower.Bitmap(), 15, 14), PixelAt(*picture.Bitmap(), 15, 14));
    EXPECT_THROW(picture.LoadFromDefinition("ImgBtn99_Picture"), Exception);
    EXPECT_EQ(picture.Width(), 30);

    // A .bmp file: the 24-bit frame behind a file header.
    const Dib dib = MakeDib(24);
    wchar_t folder[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring path = std::wstring(folder) + L"rs_graphics_test.bmp";
    {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfSize = DWORD(sizeof file + dib.bytes.size());
        file.bfOffBits = DWORD(sizeof file + std::size_t(DibBitsOffset(*dib.Header())));
        std::ofstream out(path.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(dib.bytes.data()),
                  std::streamsize(dib.bytes.size()));
    }
    char utf8[MAX_PATH * 3];
    ASSERT_GT(
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr), 0);
    picture.LoadFromFile(utf8);
    DeleteFileW(path.c_str());
    ASSERT_EQ(picture.Width(), 3);
    ASSERT_EQ(picture.Height(), 2);
    EXPECT_EQ(PixelAt(*picture.Bitmap(), 0, 0), kTop[0]);
    EXPECT_EQ(PixelAt(*picture.Bitmap(), 2, 1), kBottom[2]);
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(utf8); }),
              "Picture " + std::string(utf8) + " could not be loaded");
    EXPECT_EQ(picture.Width(), 3);
}

TEST(GdiObjects, TheCounterSeesObjectsComeAndGo) {
    const unsigned before = GdiObjectCount();
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 10; ++i)
        brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_EQ(GdiObjectCount(), before + 10);
    for (HBRUSH b : brushes)
        DeleteObject(b);
    EXPECT_EQ(GdiObjectCount(), before);
}

// A scene keeps a frame per bitmap, and a process may hold 10,000 GDI objects: a bitmap at rest
// holds none, whatever was drawn into it or loaded, and gives everything back when it goes.
TEST(GdiObjects, BitmapsAtRestHoldNoneAndLeakNothing) {
    DrawDibPtr drawDib(DrawDibOpen());
    const Dib dib = MakeDib(8);
    {
        TBitmap warmUp; // the thread's drawing DC and its section, made once
        DrawFrame(drawDib.get(), warmUp, dib);
    }
    const unsigned before = GdiObjectCount();
    {
        std::vector<std::unique_ptr<TBitmap>> frames;
        std::vector<TPicture> shown(3);
        for (int i = 0; i < 200; ++i) {
            auto bitmap = std::make_unique<TBitmap>();
            DrawFrame(drawDib.get(), *bitmap, dib);
            shown[std::size_t(i) % 3].Assign(bitmap.get());
            frames.push_back(std::move(bitmap));
        }
        // The thread's drawing section is the only one, whatever was drawn.
        EXPECT_EQ(GdiObjectCount(), before);
        // The last three are shown too: drawing gives each pixels of its own.
        for (std::size_t i = 197; i < 200; ++i)
            Paint(*frames[i], RGB(1, 2, 3));
        for (std::size_t i = 0; i < 20; ++i) {
            frames[i]->LoadFromResourceName("PAUSE_HIGHLIGHT");
            frames[i]->SetSize(40 + int(i), 30);
        }
        shown[0].LoadFromDefinition("ImgBtn13_UpPict");
        EXPECT_EQ(GdiObjectCount(), before);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}
