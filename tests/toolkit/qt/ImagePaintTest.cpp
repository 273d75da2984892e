// The Qt back end's painting shortcut for the image control: what it skips must never show.
#include "toolkit/Controls.h"
#include "toolkit/Image.h"
#include "toolkit/qt/Peer.h"
#include "toolkit/qt/Pixels.h"

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
struct QtPaintFixture : ::testing::Test {
    TPanel panel;
    QWidget& parent = *QtWidget(&panel);
    PaintRecorder recorder;
    TImage* image = new TImage(&panel);
    const QRgb background = qRgb(255, 0, 0);

    QtPaintFixture() {
        panel.SetBounds(0, 0, 120, 120);
        panel.SetColor(0xFF0000);
        panel.SetBevelOuter(TBevelCut::None);
        parent.installEventFilter(&recorder);
        QtWidget(image)->setGeometry(10, 10, 40, 40);
    }
};

} // namespace

// On a plain panel a picture paints the control's area alone, the panel's colour included where
// it does not reach: the panel skips what lies under it. Only an empty picture lets the panel
// paint there. Rendered over stale pixels (what the screen showed before), none may survive.
TEST_F(QtPaintFixture, CoveringPictureAloneRepaintsItsAreaAndNoStalePixelSurvives) {
    const QRgb stale = qRgb(255, 0, 255);
    parent.show(); // only a visible control hides what lies under it
    struct Row {
        const char* name;
        std::function<void()> change;
        bool panelSkips;
    };
    const std::vector<Row> rows = {
        {"covering", [&] { SetBitmapImage(*image->Picture()->Bitmap(), Pattern(40, 40)); }, true},
        {"larger", [&] { SetBitmapImage(*image->Picture()->Bitmap(), Pattern(60, 50)); }, true},
        {"control grown past it", [&] { QtWidget(image)->resize(70, 70); }, true},
        {"control shrunk under it", [&] { QtWidget(image)->resize(40, 40); }, true},
        {"narrower", [&] { SetBitmapImage(*image->Picture()->Bitmap(), Pattern(39, 40)); }, true},
        {"covering again", [&] { SetBitmapImage(*image->Picture()->Bitmap(), Pattern(40, 40)); },
         true},
        {"shorter", [&] { SetBitmapImage(*image->Picture()->Bitmap(), Pattern(40, 39)); }, true},
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
        const QImage& picture = BitmapImage(*image->Picture()->Bitmap());
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
