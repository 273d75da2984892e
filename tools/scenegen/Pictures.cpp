#include "Pictures.h"

#include "FrameColours.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

QImage FixturePicture(int index, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const FrameRgb c = FrameColour(index);
    image.fill(QColor(c.r, c.g, c.b));
    QPainter p(&image);
    p.fillRect(0, 0, width, height / 8, Qt::black);
    return image;
}

namespace {

constexpr double kTau = 2 * std::numbers::pi;

// Hue wheel position in [0, 1).
QColor Hue(double h, double s, double v, double alpha = 1.0) {
    return QColor::fromHsvF(float(h - std::floor(h)), float(s), float(v), float(alpha));
}

} // namespace

QImage SamplePicture(int index, int count, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const double t = count > 0 ? double(index) / count : 0.0; // one loop = one turn
    const double size = std::min(width, height);
    const QPointF centre(width / 2.0, height / 2.0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A deep backdrop whose hues drift once around the loop.
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, Hue(0.62 + 0.06 * std::sin(kTau * t), 0.70, 0.32));
    sky.setColorAt(1, Hue(0.80 + 0.06 * std::cos(kTau * t), 0.75, 0.12));
    p.fillRect(image.rect(), sky);

    // Soft lights circling the centre; whole turns per loop, so the loop has no seam.
    struct Orb {
        double radius, size, hue, phase;
        int turns;
    };
    const Orb orbs[] = {{0.36, 0.20, 0.52, 0.00, 1},
                        {0.30, 0.14, 0.95, 0.33, -1},
                        {0.42, 0.11, 0.12, 0.66, 2},
                        {0.22, 0.16, 0.70, 0.15, -2},
                        {0.46, 0.08, 0.33, 0.50, 1}};
    p.setPen(Qt::NoPen);
    for (const Orb& o : orbs) {
        const double a = kTau * (o.phase + o.turns * t);
        const QPointF at = centre + QPointF(std::cos(a), std::sin(a)) * (o.radius * size);
        QRadialGradient glow(at, o.size * size);
        glow.setColorAt(0, Hue(o.hue, 0.55, 1.0, 0.85));
        glow.setColorAt(0.45, Hue(o.hue, 0.75, 0.9, 0.35));
        glow.setColorAt(1, Hue(o.hue, 0.9, 0.6, 0.0));
        p.setBrush(glow);
        p.drawEllipse(at, o.size * size, o.size * size);
    }

    // A ring that fills up as the loop goes on.
    const double ring = 0.34 * size;
    const QRectF ringBox(centre.x() - ring, centre.y() - ring, 2 * ring, 2 * ring);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 50), size * 0.012));
    p.drawEllipse(ringBox);
    QPen arc(QColor(255, 255, 255, 230), size * 0.022, Qt::SolidLine, Qt::RoundCap);
    p.setPen(arc);
    const int span = -int(std::lround(360 * 16 * (index + 1.0) / std::max(count, 1)));
    p.drawArc(ringBox, 90 * 16, span);

    // The frame number, big, with a soft shadow to lift it off the lights.
    QFont number("Liberation Sans");
    number.setBold(true);
    number.setPixelSize(int(size * 0.30));
    p.setFont(number);
    // Counted from 1, like the caption above it.
    const QString text = QString::number(index + 1);
    const QRectF box(0, 0, width, height);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(box.translated(size * 0.008, size * 0.012), Qt::AlignCenter, text);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);

    QFont caption("Liberation Sans");
    caption.setPixelSize(int(size * 0.045));
    caption.setLetterSpacing(QFont::PercentageSpacing, 130);
    p.setFont(caption);
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(QRectF(0, height * 0.86, width, height * 0.08), Qt::AlignCenter,
               QStringLiteral("REELSTAND"));
    p.setPen(QColor(255, 255, 255, 120));
    p.drawText(QRectF(0, height * 0.06, width, height * 0.08), Qt::AlignCenter,
               QStringLiteral("Bild %1 von %2").arg(index + 1).arg(count));
    return image;
}

std::vector<std::uint32_t> FixturePalette() {
    std::vector<std::uint32_t> palette(256);
    for (int i = 1; i < 256; ++i) {
        const FrameRgb c = FrameColour(i - 1);
        palette[std::size_t(i)] = std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
    }
    return palette;
}
