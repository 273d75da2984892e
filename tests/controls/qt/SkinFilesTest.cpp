// The skin files as the Qt build stores them in its resources: their bytes, and the icon.
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

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

TEST(SkinFiles, IconHoldsSixteenThirtyTwoAndFortyEightPixelsInSixteenAnd256Colours) {
    const QString path = QStringLiteral(":/icons/reelstand.ico");
    const QByteArray ico = Read(path);
    ASSERT_GE(ico.size(), 6 + 6 * 16);
    EXPECT_EQ(U16(ico, 2), 1); // icon, not cursor
    ASSERT_EQ(U16(ico, 4), 6);
    std::set<std::tuple<int, int>> entries;
    for (int i = 0; i < 6; ++i) {
        const int at = 6 + 16 * i;
        const int width = uchar(ico[at]), height = uchar(ico[at + 1]);
        const int bits = U16(ico, at + 6);
        EXPECT_EQ(width, height);
        // The image's own header agrees with the directory.
        const int image = static_cast<int>(U32(ico, at + 12));
        ASSERT_LE(image + 40, ico.size());
        EXPECT_EQ(U16(ico, image + 14), bits);
        entries.insert({width, bits});
    }
    const std::set<std::tuple<int, int>> expected = {{16, 4}, {32, 4}, {48, 4},
                                                     {16, 8}, {32, 8}, {48, 8}};
    EXPECT_EQ(entries, expected);

    QImageReader reader(path);
    ASSERT_EQ(reader.imageCount(), 6);
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull()) << i;
    }
}
