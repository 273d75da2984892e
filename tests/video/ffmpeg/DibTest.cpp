// DIB layouts and DrawDibDraw: where the pixels start, every drawable format, clipping, and
// refusing what cannot be drawn safely.

#include "VideoSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

BITMAPINFOHEADER Header(LONG w, LONG h, WORD bits, DWORD compression = BI_RGB, DWORD used = 0,
                        DWORD size = 40) {
    BITMAPINFOHEADER bi{};
    bi.biSize = size;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = bits;
    bi.biCompression = compression;
    bi.biClrUsed = used;
    return bi;
}

struct OffsetCase {
    const char* name;
    BITMAPINFOHEADER header;
    std::int64_t offset; // -1: not drawable
};

void PrintTo(const OffsetCase& c, std::ostream* os) {
    *os << c.name;
}

class BitsOffset : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(BitsOffset, AfterHeaderTableAndMasks) {
    EXPECT_EQ(DibBitsOffset(GetParam().header), GetParam().offset);
}

BITMAPINFOHEADER WithSizeImage(BITMAPINFOHEADER bi, DWORD size) {
    bi.biSizeImage = size;
    return bi;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BitsOffset,
    ::testing::Values(OffsetCase{"rgb32", Header(64, 48, 32), 40},
                      OffsetCase{"rgb24", Header(63, 47, 24), 40},
                      OffsetCase{"topDown32", Header(64, -48, 32), 40},
                      OffsetCase{"pal8Full", Header(64, 48, 8), 40 + 1024},
                      OffsetCase{"pal8Used16", Header(64, 48, 8, BI_RGB, 16), 40 + 64},
                      OffsetCase{"pal4", Header(9, 2, 4), 40 + 64},
                      OffsetCase{"pal1", Header(9, 2, 1), 40 + 8},
                      OffsetCase{"rgb24OptionalTable", Header(4, 4, 24, BI_RGB, 2), 48},
                      OffsetCase{"bitfields16", Header(4, 4, 16, BI_BITFIELDS), 52},
                      OffsetCase{"bitfields32V5", Header(4, 4, 32, BI_BITFIELDS, 0, 124), 124},
                      OffsetCase{"exactSizeImage", WithSizeImage(Header(3, 2, 24), 24), 40},
                      OffsetCase{"bitCount0", Header(64, 48, 0), -1},
                      OffsetCase{"bitCount7", Header(64, 48, 7), -1},
                      OffsetCase{"bitfields24", Header(4, 4, 24, BI_BITFIELDS), -1},
                      OffsetCase{"rle8", Header(4, 4, 8, 1), -1},
                      OffsetCase{"fourcc", Header(4, 4, 24, 0x47504A4D), -1},
                      OffsetCase{"widthZero", Header(0, 4, 32), -1},
                      OffsetCase{"widthNegative", Header(-4, 4, 32), -1},
                      OffsetCase{"heightZero", Header(4, 0, 32), -1},
                      OffsetCase{"huge", Header(100000, 100000, 32), -1},
                      OffsetCase{"hugeTopDown", Header(100000, INT32_MIN, 32), -1},
                      OffsetCase{"widest", Header(INT32_MAX, 1, 32), -1},
                      OffsetCase{"sizeImageTooSmall", WithSizeImage(Header(3, 2, 24), 23), -1},
                      OffsetCase{"tooManyColours", Header(4, 4, 8, BI_RGB, 257), -1},
                      OffsetCase{"coreHeader", Header(4, 4, 24, BI_RGB, 0, 12), -1},
                      OffsetCase{"oddHeaderSize", Header(4, 4, 24, BI_RGB, 0, 44), -1}),
    [](const auto& info) { return std::string(info.param.name); });

// A packed DIB: header, then masks or colour table, then pixel rows as stored.
struct PackedDib {
    std::vector<unsigned char> bytes;
    const BITMAPINFOHEADER* header() const {
        return reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
    }
};

PackedDib Pack(const BITMAPINFOHEADER& bi, const std::vector<std::uint32_t>& table,
               const std::vector<unsigned char>& rows) {
    PackedDib d;
    d.bytes.resize(bi.biSize);
    std::memcpy(d.bytes.data(), &bi, sizeof bi);
    for (std::uint32_t v : table)
        for (int i = 0; i < 4; ++i)
            d.bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
    d.bytes.insert(d.bytes.end(), rows.begin(), rows.end());
    return d;
}

struct DrawCase {
    const char* name;
    PackedDib dib;
    std::vector<std::vector<QRgb>> picture; // top row first
};

void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr QRgb R = 0xffff0000, G = 0xff00ff00, B = 0xff0000ff, W = 0xffffffff, K = 0xff000000;
constexpr QRgb Y = 0xffffff00;

class Draw : public ::testing::TestWithParam<DrawCase> {};

TEST_P(Draw, PixelsLandRightWayUpInTheirColours) {
    const DrawCase& c = GetParam();
    bool drawn = false;
    const QImage image = DrawDib(c.dib.header(), &drawn);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(image.height(), int(c.picture.size()));
    for (int y = 0; y < image.height(); ++y) {
        ASSERT_EQ(image.width(), int(c.picture[y].size()));
        for (int x = 0; x < image.width(); ++x)
            EXPECT_EQ(image.pixel(x, y), c.picture[y][x]) << "at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Draw,
    ::testing::Values(
        // 3 pixels of 3 bytes: rows padded to 12; bottom row stored first.
        DrawCase{"rgb24OddWidth",
                 Pack(Header(3, 2, 24), {},
                      {0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0, /* bottom: R G B */
                       255, 255, 255, 0, 0,   0, 0,   255, 255, 0, 0, 0 /* top: W K Y */}),
                 {{W, K, Y}, {R, G, B}}},
        // The fourth byte is no alpha: drawn opaque whatever it holds.
        DrawCase{"rgb32TopDown",
                 Pack(Header(2, -2, 32), {},
                      {0, 0, 255, 0, 0, 255, 0, 7, /* top: R G */
                       255, 0, 0, 0, 255, 255, 255, 0 /* bottom: B W */}),
                 {{R, G}, {B, W}}},
        DrawCase{"pal8",
                 Pack(Header(3, 2, 8, BI_RGB, 3), {0x00ff0000, 0x0000ff00, 0x000000ff},
                      {2, 1, 0, 0, /* bottom */ 0, 1, 2, 0 /* top */}),
                 {{R, G, B}, {B, G, R}}},
        // An index beyond the table draws black.
        DrawCase{"pal8IndexPastTable",
                 Pack(Header(2, 1, 8, BI_RGB, 1), {0x00ffffff}, {0, 200, 0, 0}),
                 {{W, K}}},
        // Nine pixels cross a byte; most significant bit first.
        DrawCase{"pal1",
                 Pack(Header(9, 1, 1), {0x00000000, 0x00ffffff}, {0b10110000, 0b10000000, 0, 0}),
                 {{W, K, W, W, K, K, K, K, W}}},
        DrawCase{"pal4",
                 Pack(Header(3, 1, 4, BI_RGB, 3), {0x00ff0000, 0x0000ff00, 0x000000ff},
                      {0x21, 0x00, 0, 0}),
                 {{B, G, R}}},
        DrawCase{"rgb16Is555", Pack(Header(2, 1, 16), {}, {0x00, 0x7c, 0x1f, 0x00}), {{R, B}}},
        DrawCase{"bitfields16As565",
                 Pack(Header(3, 1, 16, BI_BITFIELDS), {0xf800, 0x07e0, 0x001f},
                      {0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0, 0}),
                 {{R, G, B}}},
        // Masks in an unusual order: red in the low byte.
        DrawCase{"bitfields32",
                 Pack(Header(2, 1, 32, BI_BITFIELDS), {0x000000ff, 0x0000ff00, 0x00ff0000},
                      {255, 0, 0, 0, 0, 0, 255, 0}),
                 {{R, B}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefuseCase {
    const char* name;
    PackedDib dib;
};

void PrintTo(const RefuseCase& c, std::ostream* os) {
    *os << c.name;
}

class Refuse : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(Refuse, DrawsNothing) {
    TDrawImage image(4, 4, 0xffff00ff);
    const QImage before = ToImage(image);
    HDRAWDIB dd = DrawDibOpen();
    const BITMAPINFOHEADER* bi = GetParam().dib.header();
    EXPECT_FALSE(DrawDibDraw(dd, &image, 0, 0, 4, 4, bi, nullptr, 0, 0, 4, 4, 0));
    EXPECT_EQ(ToImage(image), before);
    DrawDibClose(dd);
}

std::vector<unsigned char> Zeros(std::size_t n) {
    return std::vector<unsigned char>(n, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Dibs, Refuse,
    ::testing::Values(RefuseCase{"bitCount0", Pack(Header(4, 4, 0), {}, Zeros(64))},
                      RefuseCase{"bitCount7", Pack(Header(4, 4, 7), {}, Zeros(64))},
                      RefuseCase{"huge", Pack(Header(100000, 100000, 32), {}, Zeros(64))},
                      RefuseCase{"hugeTopDown", Pack(Header(4, INT32_MIN, 32), {}, Zeros(64))},
                      RefuseCase{"zeroMask", Pack(Header(4, 4, 16, BI_BITFIELDS), {0xf800, 0, 0x1f},
                                                  Zeros(32))},
                      RefuseCase{"holeInMask", Pack(Header(4, 4, 16, BI_BITFIELDS),
                                                    {0xf0f0, 0x0700, 0x000f}, Zeros(32))},
                      RefuseCase{"maskBeyondPixel", Pack(Header(4, 4, 16, BI_BITFIELDS),
                                                         {0x1f0000, 0x07e0, 0x001f}, Zeros(32))},
                      RefuseCase{"compressed", Pack(Header(4, 4, 8, 1), {}, Zeros(64))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawDibCalls, RefusesStretchingBadHandlesAndTargetsWithoutPixels) {
    const PackedDib dib = Pack(Header(2, 2, 32), {}, Zeros(16));
    TDrawImage image(2, 2, 0);
    HDRAWDIB dd = DrawDibOpen();
    ASSERT_NE(dd, nullptr);
    EXPECT_FALSE(DrawDibDraw(dd, &image, 0, 0, 4, 4, dib.header(), nullptr, 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(nullptr, &image, 0, 0, 2, 2, dib.header(), nullptr, 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(dd, nullptr, 0, 0, 2, 2, dib.header(), nullptr, 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(dd, &image, 0, 0, 2, 2, nullptr, nullptr, 0, 0, 2, 2, 0));
    TDrawImage empty;
    EXPECT_FALSE(DrawDibDraw(dd, &empty, 0, 0, 2, 2, dib.header(), nullptr, 0, 0, 2, 2, 0));
    EXPECT_TRUE(DrawDibBegin(dd, &image, 0, 0, dib.header(), 2, 2, DDF_ANIMATE));
    EXPECT_FALSE(DrawDibBegin(nullptr, &image, 0, 0, dib.header(), 2, 2, DDF_ANIMATE));
    EXPECT_EQ(DrawDibRealize(dd, &image, false), 0u);
    EXPECT_TRUE(DrawDibStart(dd, 40));
    EXPECT_TRUE(DrawDibEnd(dd));
    EXPECT_TRUE(DrawDibStop(dd));
    EXPECT_TRUE(DrawDibClose(dd));
    EXPECT_FALSE(DrawDibClose(nullptr));
}

TEST(DrawDibCalls, ClipsToTheImage) {
    // A 4 x 4 picture, every pixel red, drawn at (2, 2) and at (-3, -3) into a 5 x 5 image.
    std::vector<unsigned char> rows;
    for (int i = 0; i < 16; ++i)
        rows.insert(rows.end(), {0, 0, 255, 0});
    const PackedDib dib = Pack(Header(4, 4, 32), {}, rows);
    TDrawImage image(5, 5, K);
    HDRAWDIB dd = DrawDibOpen();
    EXPECT_TRUE(DrawDibDraw(dd, &image, 2, 2, 4, 4, dib.header(), nullptr, 0, 0, 4, 4, 0));
    EXPECT_TRUE(DrawDibDraw(dd, &image, -3, -3, -1, -1, dib.header(), nullptr, 0, 0, -1, -1, 0));
    EXPECT_TRUE(DrawDibDraw(dd, &image, 9, 9, 4, 4, dib.header(), nullptr, 0, 0, 4, 4, 0));
    DrawDibClose(dd);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool red = (x >= 2 && y >= 2) || (x == 0 && y == 0);
            EXPECT_EQ(image.Pixel(x, y), red ? R : K) << "at " << x << "," << y;
        }
}

} // namespace
