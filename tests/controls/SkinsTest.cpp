#include "controls/ImgBtn.h"
#include "toolkit/Controls.h"
#include "toolkit/qt/Peer.h"
#include "toolkit/qt/Pixels.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace {

const QStringList kBitmapNames = {
    QStringLiteral("PLAY_UNPRESSED"),  QStringLiteral("PLAY_HIGHLIGHT"),
    QStringLiteral("PLAY_PRESSED"),    QStringLiteral("PAUSE_UNPRESSED"),
    QStringLiteral("PAUSE_HIGHLIGHT"), QStringLiteral("PAUSE_PRESSED")};

QStringList DefinitionPaths() {
    QStringList paths;
    for (const char* button : {"ImgBtn12", "ImgBtn13", "ImgBtn14"})
        for (const char* kind : {"Picture", "OverPict", "DownPict", "UpPict"})
            paths << QStringLiteral(":/definition/%1_%2.bmp")
                         .arg(QLatin1String(button), QLatin1String(kind));
    return paths;
}

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

// Opaque white corners, so the skins blend into the white transport bar.
void ExpectWhiteCorners(const QImage& image, const QString& what) {
    for (const QPoint p : {QPoint(0, 0), QPoint(29, 0), QPoint(0, 28), QPoint(29, 28)})
        EXPECT_EQ(image.pixel(p), qRgb(255, 255, 255)) << what.toStdString();
}

} // namespace

TEST(Skins, NamedBitmapsAreRawEightBitDibsOfThirtyByTwentyNine) {
    std::vector<QImage> images;
    for (const QString& name : kBitmapNames) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray dib = Read(QStringLiteral(":/bitmaps/") + name);
        ASSERT_EQ(dib.size(), 1992);
        EXPECT_EQ(U32(dib, 0), 40u);                             // info header, no file header
        EXPECT_EQ(static_cast<qint32>(U32(dib, 4)), 30);         // width
        EXPECT_EQ(static_cast<qint32>(U32(dib, 8)), 29);         // positive height: bottom-up
        EXPECT_EQ(U16(dib, 14), 8);                              // bits per pixel
        EXPECT_EQ(U32(dib, 16), 0u);                             // uncompressed
        EXPECT_TRUE(U32(dib, 32) == 256u || U32(dib, 32) == 0u); // full colour table

        TBitmap bitmap;
        bitmap.LoadFromResourceName(name.toStdString());
        ASSERT_EQ(BitmapImage(bitmap).size(), QSize(30, 29));
        ExpectWhiteCorners(BitmapImage(bitmap), name);
        images.push_back(BitmapImage(bitmap));
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << kBitmapNames[qsizetype(i)].toStdString() << " vs "
                                            << kBitmapNames[qsizetype(j)].toStdString();
}

TEST(Skins, DefinitionPicturesAreTwentyFourBitBmpsOfThirtyByTwentyNine) {
    for (const QString& path : DefinitionPaths()) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray bmp = Read(path);
        ASSERT_GT(bmp.size(), 54);
        EXPECT_EQ(bmp.left(2), "BM");
        EXPECT_EQ(U16(bmp, 14 + 14), 24);
        EXPECT_EQ(static_cast<qint32>(U32(bmp, 14 + 8)), 29); // bottom-up

        TPicture picture;
        picture.LoadFromFile(path.toStdString());
        ASSERT_EQ(BitmapImage(*picture.Bitmap()).size(), QSize(30, 29));
        ExpectWhiteCorners(BitmapImage(*picture.Bitmap()), path);
    }
}

TEST(Skins, LookupIgnoresCase) {
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("play_unpressed"), QStringLiteral("PLAY_UNPRESSED")},
        {QStringLiteral("play_highlight"), QStringLiteral("PLAY_HIGHLIGHT")},
        {QStringLiteral("Play_Pressed"), QStringLiteral("PLAY_PRESSED")},
        {QStringLiteral("pause_highlight"), QStringLiteral("PAUSE_HIGHLIGHT")},
        {QStringLiteral("pause_pressed"), QStringLiteral("PAUSE_PRESSED")},
    };
    for (const auto& [asked, stored] : cases) {
        TBitmap byAsked, byStored;
        byAsked.LoadFromResourceName(asked.toStdString());
        byStored.LoadFromResourceName(stored.toStdString());
        EXPECT_EQ(BitmapImage(byAsked), BitmapImage(byStored)) << asked.toStdString();
    }
    TBitmap play, pause;
    play.LoadFromResourceName("play_unpressed");
    pause.LoadFromResourceName("PAUSE_UNPRESSED");
    EXPECT_NE(BitmapImage(play), BitmapImage(pause));
}

// The play/pause button as the main window defines it, then every skin swap it can go through.
TEST(Skins, SwappingSkinsNeverResizesAnAutoSizedButton) {
    TPanel bar;
    TImgBtn button(&bar);
    const QRect bounds(484, 16, 30, 29);
    QtWidget(&button)->setGeometry(bounds);
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
    EXPECT_EQ(QtWidget(&button)->geometry(), bounds);

    for (const char* prefix : {"play", "PAUSE", "play"}) {
        const String p = prefix;
        button.Picture()->Bitmap()->LoadFromResourceName(p + "_unpressed");
        button.OverPict()->Bitmap()->LoadFromResourceName(p + "_highlight");
        button.UpPict()->Bitmap()->LoadFromResourceName(p + "_unpressed");
        button.DownPict()->Bitmap()->LoadFromResourceName(p + "_pressed");
        EXPECT_EQ(QtWidget(&button)->geometry(), bounds) << prefix;
        for (bool enabled : {false, true}) {
            button.SetEnabled(enabled); // displays DisPict (empty) or UpPict
            EXPECT_EQ(QtWidget(&button)->geometry(), bounds) << prefix;
        }
    }
}

TEST(Skins, IconHoldsSixteenThirtyTwoAndFortyEightPixelsInSixteenAnd256Colours) {
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
