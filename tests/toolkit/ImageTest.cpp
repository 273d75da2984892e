#include "toolkit/Image.h"
#include "toolkit/Controls.h"
#include "toolkit/qt/Peer.h"

#include <QPaintEvent>
#include <QPalette>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Every pixel different, so a shifted or stretched drawing shows.
QImage Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, 200));
    return image;
}

// Remembers what a widget was last asked to paint.
class PaintRecorder : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// A red parent with the image control at (10, 10), 40 x 40.
struct PaintFixture : ::testing::Test {
    TPanel panel;
    QWidget& parent = *QtWidget(&panel);
    PaintRecorder recorder;
    TImage* image = new TImage(&panel);
    const QRgb background = qRgb(255, 0, 0);

    PaintFixture() {
        panel.SetBounds(0, 0, 120, 120);
        panel.SetColor(0xFF0000);
        panel.SetBevelOuter(TBevelCut::None);
        parent.installEventFilter(&recorder);
        QtWidget(image)->setGeometry(10, 10, 40, 40);
    }

    QRgb Shown(int x, int y) { return parent.grab().toImage().pixel(x, y) | 0xff000000u; }

    // Compares the control's area pixel by pixel against the picture drawn 1:1, clipped.
    void ExpectDrawnOneToOne(const QImage& picture) {
        const QImage shot = parent.grab().toImage();
        for (int y = 0; y < QtWidget(image)->height(); ++y) {
            for (int x = 0; x < QtWidget(image)->width(); ++x) {
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
    EXPECT_EQ(QtWidget(image)->size(), QSize(40, 40));
    ExpectDrawnOneToOne(picture);
    EXPECT_EQ(Shown(55, 55), background);
}

TEST_F(PaintFixture, AutoSizeTakesTheSizeOfANonEmptyPictureOnly) {
    image->SetAutoSize(true);
    EXPECT_EQ(QtWidget(image)->geometry(), QRect(10, 10, 40, 40)); // empty picture: size kept

    const QImage picture = Pattern(60, 50);
    image->Picture()->Bitmap()->SetImage(picture);
    EXPECT_EQ(QtWidget(image)->geometry(), QRect(10, 10, 60, 50));
    ExpectDrawnOneToOne(picture);

    image->Picture()->Assign(static_cast<const TPicture*>(nullptr));
    EXPECT_EQ(QtWidget(image)->geometry(), QRect(10, 10, 60, 50));
    EXPECT_EQ(Shown(20, 20), background);

    // Switching it on later sizes at once.
    TImage other(&panel);
    QtWidget(&other)->setGeometry(0, 60, 5, 5);
    other.Picture()->Bitmap()->SetImage(Pattern(7, 9));
    EXPECT_EQ(QtWidget(&other)->size(), QSize(5, 5));
    other.SetAutoSize(true);
    EXPECT_EQ(QtWidget(&other)->geometry(), QRect(0, 60, 7, 9));
}

// On a plain panel a picture paints the control's area alone, the panel's colour included where
// it does not reach: the panel skips what lies under it. Only an empty picture lets the panel
// paint there. Rendered over stale pixels (what the screen showed before), none may survive.
TEST_F(PaintFixture, CoveringPictureAloneRepaintsItsAreaAndNoStalePixelSurvives) {
    const QRgb stale = qRgb(255, 0, 255);
    parent.show(); // only a visible control hides what lies under it
    struct Row {
        const char* name;
        std::function<void()> change;
        bool panelSkips;
    };
    const std::vector<Row> rows = {
        {"covering", [&] { image->Picture()->Bitmap()->SetImage(Pattern(40, 40)); }, true},
        {"larger", [&] { image->Picture()->Bitmap()->SetImage(Pattern(60, 50)); }, true},
        {"control grown past it", [&] { QtWidget(image)->resize(70, 70); }, true},
        {"control shrunk under it", [&] { QtWidget(image)->resize(40, 40); }, true},
        {"narrower", [&] { image->Picture()->Bitmap()->SetImage(Pattern(39, 40)); }, true},
        {"covering again", [&] { image->Picture()->Bitmap()->SetImage(Pattern(40, 40)); }, true},
        {"shorter", [&] { image->Picture()->Bitmap()->SetImage(Pattern(40, 39)); }, true},
        {"emptied", [&] { image->Picture()->Assign(static_cast<const TPicture*>(nullptr)); },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.change();
        QImage screen(parent.size(), QImage::Format_RGB32);
        screen.fill(stale);
        parent.render(&screen);
        EXPECT_EQ(recorder.painted.intersects(QtWidget(image)->geometry()), !row.panelSkips);
        const QImage& picture = image->Picture()->Image();
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                const QPoint p(x, y);
                const QPoint inPicture = p - QtWidget(image)->pos();
                const QRgb expected = QtWidget(image)->geometry().contains(p) &&
                                              !picture.isNull() &&
                                              picture.rect().contains(inPicture)
                                          ? picture.pixel(inPicture) | 0xff000000u
                                          : background;
                ASSERT_EQ(screen.pixel(p) | 0xff000000u, expected) << "at " << x << "," << y;
            }
        }
    }
}
