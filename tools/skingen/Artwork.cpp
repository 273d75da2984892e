#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int kWidth = 30;
constexpr int kHeight = 29;
constexpr qreal kRadius = 13.5;
// Ball centre at rest; pressed, the ball sinks one pixel right and down.
const QPointF kCentre{15.0, 14.0};
const QPointF kPressShift{1.0, 1.0};

QColor Scaled(const QColor& c, qreal f) {
    return QColor::fromRgbF(c.redF() * f, c.greenF() * f, c.blueF() * f, c.alphaF());
}

// A soft contact shadow, only while the ball is up.
void DrawShadow(QPainter& p, QPointF centre) {
    // Offset straight down and no larger than the ball, so no halo shows above it.
    const QPointF c = centre + QPointF(0.2, 1.2);
    const qreal r = kRadius + 0.2;
    QRadialGradient g(c, r);
    g.setColorAt(0.0, QColor(20, 40, 80, 110));
    g.setColorAt(0.9, QColor(20, 40, 80, 80));
    g.setColorAt(1.0, QColor(20, 40, 80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void DrawBall(QPainter& p, QPointF c, qreal shade, qreal gloss) {
    p.setPen(Qt::NoPen);

    // Dark rim, lighter at the top where the light comes from.
    QLinearGradient rim(c.x(), c.y() - kRadius, c.x(), c.y() + kRadius);
    rim.setColorAt(0.0, Scaled(QColor(40, 92, 170), shade));
    rim.setColorAt(1.0, Scaled(QColor(14, 48, 110), shade));
    p.setBrush(rim);
    p.drawEllipse(c, kRadius, kRadius);

    // Body: mid-blue, deeper at the edges, with light gathering at the bottom (refraction glow).
    const qreal r = kRadius - 1.0;
    QRadialGradient body(QPointF(c.x(), c.y() + r * 0.45), r * 1.35,
                         QPointF(c.x(), c.y() + r * 0.75));
    body.setColorAt(0.0, Scaled(QColor(110, 190, 255), shade));
    body.setColorAt(0.35, Scaled(QColor(58, 140, 235), shade));
    body.setColorAt(0.8, Scaled(QColor(34, 100, 205), shade));
    body.setColorAt(1.0, Scaled(QColor(24, 76, 170), shade));
    p.setBrush(body);
    p.drawEllipse(c, r, r);

    // Gloss: a white cap over the upper half, fading downwards.
    const QRectF cap(c.x() - r * 0.78, c.y() - r * 0.95, r * 1.56, r * 1.0);
    QLinearGradient shine(cap.topLeft(), cap.bottomLeft());
    shine.setColorAt(0.0, QColor(255, 255, 255, int(235 * gloss)));
    shine.setColorAt(0.55, QColor(255, 255, 255, int(90 * gloss)));
    shine.setColorAt(1.0, QColor(255, 255, 255, int(12 * gloss)));
    p.setBrush(shine);
    p.drawEllipse(cap);
}

QPainterPath SymbolPath(Symbol symbol) {
    QPainterPath path;
    const auto triangle = [&path](qreal baseX, qreal apexX, qreal top, qreal bottom) {
        const qreal mid = (top + bottom) / 2;
        path.moveTo(baseX, top);
        path.lineTo(apexX, mid);
        path.lineTo(baseX, bottom);
        path.closeSubpath();
    };
    // Straight edges sit on pixel boundaries so bars stay crisp at 1:1.
    switch (symbol) {
    case Symbol::Play:
        triangle(11.0, 20.5, 8.5, 19.5);
        break;
    case Symbol::Pause:
        path.addRect(QRectF(10.0, 9.0, 3.0, 10.0));
        path.addRect(QRectF(17.0, 9.0, 3.0, 10.0));
        break;
    case Symbol::StepForward:
        path.addRect(QRectF(9.0, 9.0, 2.0, 10.0));
        triangle(12.0, 20.5, 9.0, 19.0);
        break;
    case Symbol::StepBack:
        triangle(18.0, 9.5, 9.0, 19.0);
        path.addRect(QRectF(19.0, 9.0, 2.0, 10.0));
        break;
    }
    return path;
}

void DrawSymbol(QPainter& p, Symbol symbol, Look look, QPointF offset) {
    const QPainterPath path = SymbolPath(symbol).translated(offset);
    p.setPen(Qt::NoPen);
    if (look == Look::Rest) {
        // Muted: light blue, sunk into the ball by a faint dark edge below.
        p.setBrush(QColor(10, 40, 100, 70));
        p.drawPath(path.translated(0, 0.8));
        p.setBrush(QColor(160, 200, 245));
        p.drawPath(path);
        return;
    }
    // Bright: white with a soft glow around it.
    p.setPen(QPen(QColor(255, 255, 255, 70), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path);
}

} // namespace

QImage DrawSkin(Symbol symbol, Look look) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool pressed = look == Look::Pressed;
    const QPointF shift = pressed ? kPressShift : QPointF();
    if (!pressed)
        DrawShadow(p, kCentre);
    DrawBall(p, kCentre + shift, pressed ? 0.84 : 1.0, pressed ? 0.75 : 1.0);
    DrawSymbol(p, symbol, look, shift);
    return image;
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The skin's ball fills the icon square.
    const qreal scale = size / (2 * kRadius);
    p.scale(scale, scale);
    p.translate(kRadius - kCentre.x(), kRadius - kCentre.y());
    DrawBall(p, kCentre, 1.0, 1.0);
    DrawSymbol(p, Symbol::Play, Look::Highlight, QPointF());
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
