#include "Ui.h"

#include "toolkit/qt/Peer.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

namespace ui {
namespace {

QWidget* W(TControl& control) {
    return QtWidget(&control);
}

QPoint P(TPoint at) {
    return {at.X, at.Y};
}

Qt::MouseButton B(TMouseButton button) {
    switch (button) {
    case TMouseButton::Left:
        return Qt::LeftButton;
    case TMouseButton::Right:
        return Qt::RightButton;
    case TMouseButton::Middle:
        break;
    }
    return Qt::MiddleButton;
}

Qt::Key K(TKey key) {
    switch (key) {
    case TKey::Left:
        return Qt::Key_Left;
    case TKey::Right:
        return Qt::Key_Right;
    case TKey::Up:
        return Qt::Key_Up;
    case TKey::Down:
        return Qt::Key_Down;
    case TKey::PageUp:
        return Qt::Key_PageUp;
    case TKey::PageDown:
        return Qt::Key_PageDown;
    case TKey::Home:
        return Qt::Key_Home;
    case TKey::End:
        break;
    }
    return Qt::Key_End;
}

TPixels FromImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    TPixels pixels;
    pixels.Width = image.width();
    pixels.Height = image.height();
    pixels.Data.reserve(static_cast<std::size_t>(pixels.Width) *
                        static_cast<std::size_t>(pixels.Height));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixels.Data.push_back(row[x] & 0x00FFFFFFu);
    }
    return pixels;
}

} // namespace

void PointerMove(TControl& control, TPoint at) {
    QTest::mouseMove(W(control), P(at));
}

void SendPointerMove(TControl& control, TPoint at) {
    QWidget* w = W(control);
    QMouseEvent move(QEvent::MouseMove, QPointF(P(at)), QPointF(w->mapToGlobal(P(at))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void PointerLeave(TControl& control) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(W(control), &leave);
}

void PointerPress(TControl& control, TPoint at, TMouseButton button) {
    QTest::mousePress(W(control), B(button), {}, P(at));
}

void PointerRelease(TControl& control, TPoint at, TMouseButton button) {
    QTest::mouseRelease(W(control), B(button), {}, P(at));
}

void PointerClick(TControl& control, TPoint at, TMouseButton button) {
    QTest::mouseClick(W(control), B(button), {}, P(at));
}

void DoubleClick(TControl& control, TPoint at, TMouseButton button) {
    QTest::mouseDClick(W(control), B(button), {}, P(at));
}

void KeyPress(TControl& control, TKey key) {
    QTest::keyPress(W(control), K(key));
}

void KeyRelease(TControl& control, TKey key) {
    QTest::keyRelease(W(control), K(key));
}

void Key(TControl& control, TKey key) {
    QTest::keyClick(W(control), K(key));
}

bool ShowAndWait(TControl& control) {
    W(control)->show();
    return QTest::qWaitForWindowExposed(W(control));
}

TPixels Rendered(TControl& control) {
    return FromImage(W(control)->grab().toImage());
}

TPixels Pixels(const TBitmap& bitmap) {
    return FromImage(bitmap.Image());
}

bool SharePixels(const TBitmap& a, const TBitmap& b) {
    return !a.Empty() && a.Image().constBits() == b.Image().constBits();
}

void Fill(TBitmap& bitmap, int width, int height, TColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(qRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF)));
    bitmap.SetImage(image);
}

} // namespace ui
