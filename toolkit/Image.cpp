#include "toolkit/Image.h"

#include "toolkit/Controls.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <cmath>

namespace {

QPointer<QWidget>& Capture() {
    static QPointer<QWidget> control;
    return control;
}

QPoint EventPos(const QMouseEvent* event) {
    const QPointF p = event->position();
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

} // namespace

QWidget* GetCaptureControl() {
    return Capture().data();
}

void SetCaptureControl(QWidget* control) {
    Capture() = control;
}

void ReleaseCapture() {
    Capture() = nullptr;
}

TImage::TImage(QWidget* parent) : QWidget(parent) {
    // Hover pictures need moves without a pressed button.
    setMouseTracking(true);
    FPicture->OnChange = [this] { PictureChanged(); };
}

TImage::~TImage() = default;

void TImage::SetAutoSize(bool on) {
    FAutoSize = on;
    AdjustSize();
}

void TImage::PictureChanged() {
    AdjustSize();
    UpdateOpacity();
    update();
}

// A picture that covers the whole control hides what lies under it; Qt then need not paint the
// parent first, which is half the cost of a repaint of the picture area. On a plain panel a
// smaller picture is the same: the control paints the uncovered strips in the panel's colour.
void TImage::UpdateOpacity() {
    const bool whole = FPicture->Width() >= width() && FPicture->Height() >= height();
    const bool covers =
        !FPicture->Empty() && (whole || PlainParent()) && !FPicture->Image().hasAlphaChannel();
    if (testAttribute(Qt::WA_OpaquePaintEvent) != covers)
        setAttribute(Qt::WA_OpaquePaintEvent, covers);
}

void TImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateOpacity();
}

void TImage::AdjustSize() {
    if (FAutoSize && !FPicture->Empty())
        resize(FPicture->Width(), FPicture->Height());
}

// The parent when it is a panel of one colour all over the area this control takes (inside its
// bevels).
const TPanel* TImage::PlainParent() const {
    const auto* panel = dynamic_cast<const TPanel*>(parentWidget());
    if (!panel || !panel->rect().adjusted(2, 2, -2, -2).contains(geometry()))
        return nullptr;
    return panel;
}

void TImage::paintEvent(QPaintEvent* event) {
    if (FPicture->Empty())
        return;
    QPainter painter(this);
    const QImage& image = FPicture->Image();
    painter.drawImage(0, 0, image);
    if (testAttribute(Qt::WA_OpaquePaintEvent) &&
        (image.width() < width() || image.height() < height())) {
        if (const TPanel* panel = PlainParent()) {
            const QRegion uncovered = QRegion(event->rect()) - QRegion(image.rect());
            for (const QRect& r : uncovered)
                painter.fillRect(r, panel->Color());
        }
    }
}

void TImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    if (event->button() == Qt::LeftButton) {
        SetCaptureControl(this);
        FClickPending = true;
    }
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    if (event->button() == Qt::LeftButton) {
        if (GetCaptureControl() == this)
            ReleaseCapture();
        // The click test counts the right and bottom edges as outside.
        if (FClickPending) {
            FClickPending = false;
            if (rect().contains(p) && OnClick)
                OnClick(this);
        }
    }
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press, as the old platform did; no click is pending.
    const QPoint p = EventPos(event);
    if (event->button() == Qt::LeftButton) {
        SetCaptureControl(this);
        if (OnDblClick)
            OnDblClick(this);
    }
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    MouseMove(event->modifiers(), p.x(), p.y());
    event->accept();
}

void TImage::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (GetCaptureControl() != this)
        return;
    // With the capture held, the old platform delivered the move that left the control. Qt sends
    // no further moves here, so the position handed on must count as outside even when the
    // cursor sits on the right or bottom edge line (which moves count as inside) or is stale.
    QPoint p = mapFromGlobal(QCursor::pos());
    const bool outside = p.x() < 0 || p.x() > width() || p.y() < 0 || p.y() > height();
    if (!outside) {
        if (p.x() >= width())
            p.setX(width() + 1);
        else if (p.y() >= height())
            p.setY(height() + 1);
        else
            p = QPoint(-1, -1);
    }
    MouseMove(QGuiApplication::keyboardModifiers(), p.x(), p.y());
}
