// The skin files as the Qt build stores them in its resources: their bytes, and the icon.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 U32(const QByteArray& data, int at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(data.constData()) + at);
}
quint16 U16(const QByteArray& data, int at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(data.constData()) + at);
}

} // namespace

TEST(SkinFiles, NamedBitmapsAreRawEightBitDibsOfThirtyByTwentyNine) {
    for (const char* name : {"PLAY_UNPRESSED", "PLAY_HIGHLIGHT", "PLAY_PRESSED", "PAUSE_UNPRESSED",
                             "PAUSE_HIGHLIGHT", "PAUSE_PRESSED"}) {
        SCOPED_TRACE(name);
        const QByteArray dib = Read(QStringLiteral(":/bitmaps/") + QLatin1String(name));
        ASSERT_EQ(dib.size(), 1992);
        EXPECT_EQ(U32(dib, 0), 40u);                             // info header, no file header
        EXPECT_EQ(static_cast<qint32>(U32(dib, 4)), 30);         // width
        EXPECT_EQ(static_cast<qint32>(U32(dib, 8)), 29);         // positive height: bottom-up
        EXPECT_EQ(U16(dib, 14), 8);                              // bits per pixel
        EXPECT_EQ(U32(dib, 16), 0u);                             // uncompressed
        EXPECT_TRUE(U32(dib, 32) == 256u || U32(dib, 32) == 0u); // full colour table
    }
}

TEST(SkinFiles, DefinitionPicturesAreTwentyFourBitBmps) {
    for (const char* button : {"ImgBtn12", "ImgBtn13", "ImgBtn14"}) {
        for (const char* kind : {"Picture", "OverPict", "DownPict", "UpPict"}) {
            const QString path = QStringLiteral(":/definition/%1_%2.bmp")
                                     .arg(QLatin1String(button), QLatin1String(kind));
            SCOPED_TRACE(path.toStdString());
            const QByteArray bmp = Read(path);
            ASSERT_GT(bmp.size(), 54);
            EXPECT_EQ(bmp.left(2), "BM");
            EXPECT_EQ(U16(bmp, 14 + 14), 24);
            EXPECT_EQ(static_cast<qint32>(U32(bmp, 14 + 8)), 29); // bottom-up
        }
    }
}

// Every size Windows asks for, 32-bit with alpha; 256 pixels as PNG. Each image is the ball on
// a transparent ground: clear corners, an opaque centre, soft edge pixels in between.
TEST(SkinFiles, IconHoldsEverySizeWindowsAsksForWithAlpha) {
    const QString path = QStringLiteral(":/icons/reelstand.ico");
    const QByteArray ico = Read(path);
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    const int count = int(sizes.size());
    ASSERT_GE(ico.size(), 6 + 16 * count);
    EXPECT_EQ(U16(ico, 2), 1); // icon, not cursor
    ASSERT_EQ(U16(ico, 4), count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(sizes[i]);
        const int at = 6 + 16 * i;
        EXPECT_EQ(uchar(ico[at]), sizes[i] % 256); // 0 stands for 256
        EXPECT_EQ(uchar(ico[at + 1]), sizes[i] % 256);
        EXPECT_EQ(U16(ico, at + 6), 32);
        const int image = static_cast<int>(U32(ico, at + 12));
        const int bytes = static_cast<int>(U32(ico, at + 8));
        ASSERT_LE(image + bytes, ico.size());
        const QByteArray body = ico.mid(image, bytes);
        QImage decoded;
        if (sizes[i] == 256) {
            ASSERT_TRUE(body.startsWith("\x89PNG\r\n\x1a\n"));
            decoded = QImage::fromData(body, "PNG");
        } else {
            // The image's own header agrees with the directory: twice the height for the mask.
            EXPECT_EQ(static_cast<qint32>(U32(body, 4)), sizes[i]);
            EXPECT_EQ(static_cast<qint32>(U32(body, 8)), 2 * sizes[i]);
            EXPECT_EQ(U16(body, 14), 32);
            // The bottom-left corner's BGRA is the first pixel, the centre's lies halfway.
            decoded = QImage(sizes[i], sizes[i], QImage::Format_ARGB32);
            for (int y = 0; y < sizes[i]; ++y) {
                for (int x = 0; x < sizes[i]; ++x) {
                    const int p = 40 + 4 * ((sizes[i] - 1 - y) * sizes[i] + x);
                    decoded.setPixel(x, y,
                                     qRgba(uchar(body[p + 2]), uchar(body[p + 1]), uchar(body[p]),
                                           uchar(body[p + 3])));
                }
            }
        }
        ASSERT_EQ(decoded.size(), QSize(sizes[i], sizes[i]));
        EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(decoded.pixel(sizes[i] / 2, sizes[i] / 2)), 255);
        std::set<int> alphas;
        for (int y = 0; y < sizes[i]; ++y)
            for (int x = 0; x < sizes[i]; ++x)
                alphas.insert(qAlpha(decoded.pixel(x, y)));
        EXPECT_GT(alphas.size(), 2u) << "no soft edge";
    }

    // The window's icon on Linux is read from the same file.
    QImageReader reader(path);
    ASSERT_EQ(reader.imageCount(), count);
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        EXPECT_EQ(reader.read().size(), QSize(sizes[i], sizes[i])) << sizes[i];
    }
}
