#include "toolkit/Image.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <cmath>

namespace {

QPointer<QWidget>& Capture() {
    static QPointer<QWidget> control;
    return control;
}

// Buttons beyond the three count as the middle one: only the left button has a meaning here.
TMouseButton Button(Qt::MouseButton button) {
    return button == Qt::LeftButton    ? TMouseButton::Left
           : button == Qt::RightButton ? TMouseButton::Right
                                       : TMouseButton::Middle;
}

TShiftState Shift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

TShiftState Shift(const QMouseEvent* event) {
    return Shift(event->modifiers(), event->buttons());
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

TImage::TImage(TWinControl* parent) : TControlOf(parent) {
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
// parent first, which is half the cost of a repaint of the picture area.
void TImage::UpdateOpacity() {
    const bool covers = !FPicture->Empty() && FPicture->Width() >= width() &&
                        FPicture->Height() >= height() && !FPicture->Image().hasAlphaChannel();
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

void TImage::paintEvent(QPaintEvent*) {
    if (FPicture->Empty())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, FPicture->Image());
}

void TImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    if (event->button() == Qt::LeftButton) {
        SetCaptureControl(this);
        FClickPending = true;
    }
    MouseDown(Button(event->button()), Shift(event), p.x(), p.y());
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
    MouseUp(Button(event->button()), Shift(event), p.x(), p.y());
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
    MouseDown(Button(event->button()), Shift(event), p.x(), p.y());
    event->accept();
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    MouseMove(Shift(event), p.x(), p.y());
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
    MouseMove(Shift(QGuiApplication::keyboardModifiers(), QGuiApplication::mouseButtons()), p.x(),
              p.y());
}
