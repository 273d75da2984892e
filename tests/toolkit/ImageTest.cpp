#include "toolkit/Image.h"

#include <QPalette>
#include <gtest/gtest.h>

namespace {

// Every pixel different, so a shifted or stretched drawing shows.
QImage Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, 200));
    return image;
}

// A red parent with the image control at (10, 10), 40 x 40.
struct PaintFixture : ::testing::Test {
    QWidget parent;
    TImage* image = new TImage(&parent);
    const QRgb background = qRgb(255, 0, 0);

    PaintFixture() {
        parent.resize(120, 120);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(background));
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        image->setGeometry(10, 10, 40, 40);
    }

    QRgb Shown(int x, int y) { return parent.grab().toImage().pixel(x, y) | 0xff000000u; }

    // Compares the control's area pixel by pixel against the picture drawn 1:1, clipped.
    void ExpectDrawnOneToOne(const QImage& picture) {
        const QImage shot = parent.grab().toImage();
        for (int y = 0; y < image->height(); ++y) {
            for (int x = 0; x < image->width(); ++x) {
                const QRgb expected = x < picture.width() && y < picture.height()
                                          ? picture.pixel(x, y) | 0xff000000u
                                          : background;
                ASSERT_EQ(shot.pixel(10 + x, 10 + y) | 0xff000000u, expected)
                    << "at " << x << "," << y;
            }
        }
    }
};

} // namespace

TEST_F(PaintFixture, SmallerPictureLeavesTheParentColourShowing) {
    const QImage picture = Pattern(30, 29);
    image->Picture()->Bitmap()->SetImage(picture);
    ExpectDrawnOneToOne(picture);
}

TEST_F(PaintFixture, LargerPictureIsClippedNotStretched) {
    const QImage picture = Pattern(60, 50);
    image->Picture()->Bitmap()->SetImage(picture);
    EXPECT_EQ(image->size(), QSize(40, 40));
    ExpectDrawnOneToOne(picture);
    EXPECT_EQ(Shown(55, 55), background);
}

TEST_F(PaintFixture, AutoSizeTakesTheSizeOfANonEmptyPictureOnly) {
    image->SetAutoSize(true);
    EXPECT_EQ(image->geometry(), QRect(10, 10, 40, 40)); // empty picture: size kept

    const QImage picture = Pattern(60, 50);
    image->Picture()->Bitmap()->SetImage(picture);
    EXPECT_EQ(image->geometry(), QRect(10, 10, 60, 50));
    ExpectDrawnOneToOne(picture);

    image->Picture()->Assign(static_cast<const TPicture*>(nullptr));
    EXPECT_EQ(image->geometry(), QRect(10, 10, 60, 50));
    EXPECT_EQ(Shown(20, 20), background);

    // Switching it on later sizes at once.
    TImage other(&parent);
    other.setGeometry(0, 60, 5, 5);
    other.Picture()->Bitmap()->SetImage(Pattern(7, 9));
    EXPECT_EQ(other.size(), QSize(5, 5));
    other.SetAutoSize(true);
    EXPECT_EQ(other.geometry(), QRect(0, 60, 7, 9));
}
