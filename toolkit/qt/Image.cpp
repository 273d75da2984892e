#include "toolkit/Image.h"

#include "toolkit/Controls.h"
#include "toolkit/qt/Accessible.h"
#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Peer.h"
#include "toolkit/qt/Pixels.h"
#include "toolkit/qt/Pointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>

namespace {

TControl*& Capture() {
    static TControl* control = nullptr;
    return control;
}

} // namespace

TControl* GetCaptureControl() {
    return Capture();
}

void SetCaptureControl(TControl* control) {
    Capture() = control;
}

template <> void ReleaseCapture<>() {
    Capture() = nullptr;
}

// The picture control's window: paints the picture and hands the pointer to the control.
class TImageWidget : public QWidget {
public:
    TImageWidget(TImage& owner, QWidget* parent) : QWidget(parent), FOwner(owner) {
        // Hover pictures need moves without a pressed button.
        setMouseTracking(true);
        AttachAccessible(owner, *this);
    }

    void UpdateOpacity();

protected:
    // The parent when it is a panel of one colour all over the area this control takes (inside
    // its bevels).
    const TPanel* PlainParent() const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TImage& FOwner;
};

TImage::TImage(TWinControl* parent) : TControl(parent) {
    SetPeer(std::make_unique<Peer>(new TImageWidget(*this, QtWidget(parent))));
    FPicture->OnChange = [this] { PictureChanged(); };
}

void TImage::ShowPicture() {
    auto* widget = static_cast<TImageWidget*>(QtWidget(this));
    widget->UpdateOpacity();
    widget->update();
}

// A picture that covers the whole control hides what lies under it; Qt then need not paint the
// parent first, which is half the cost of a repaint of the picture area. On a plain panel a
// smaller picture is the same: the control paints the uncovered strips in the panel's colour.
void TImageWidget::UpdateOpacity() {
    const TPicture* picture = FOwner.Picture();
    const bool whole = picture->Width() >= width() && picture->Height() >= height();
    const bool covers = !picture->Empty() && (whole || PlainParent()) &&
                        !BitmapImage(*picture->Bitmap()).hasAlphaChannel();
    if (testAttribute(Qt::WA_OpaquePaintEvent) != covers)
        setAttribute(Qt::WA_OpaquePaintEvent, covers);
}

void TImageWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateOpacity();
}

const TPanel* TImageWidget::PlainParent() const {
    const auto* panel = dynamic_cast<const TPanel*>(FOwner.Parent());
    if (!panel)
        return nullptr;
    const QRect inside = QRect(0, 0, panel->Width(), panel->Height()).adjusted(2, 2, -2, -2);
    return inside.contains(geometry()) ? panel : nullptr;
}

void TImageWidget::paintEvent(QPaintEvent* event) {
    if (const TPicture* picture = FOwner.Picture(); !picture->Empty()) {
        QPainter painter(this);
        const QImage& image = BitmapImage(*picture->Bitmap());
        painter.drawImage(0, 0, image);
        if (testAttribute(Qt::WA_OpaquePaintEvent) &&
            (image.width() < width() || image.height() < height())) {
            if (const TPanel* panel = PlainParent()) {
                const QRegion uncovered = QRegion(event->rect()) - QRegion(image.rect());
                for (const QRect& r : uncovered)
                    painter.fillRect(r, ToQColor(panel->Color()));
            }
        }
    }
    PaintFocusMark(FOwner, *this);
}

void TImageWidget::keyPressEvent(QKeyEvent* event) {
    if (!ControlKeyPress(FOwner, event))
        QWidget::keyPressEvent(event);
}

void TImageWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    FOwner.DoMouseDown(Button(event->button()), Shift(event), p.x(), p.y());
    event->accept();
}

void TImageWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    FOwner.DoMouseUp(Button(event->button()), Shift(event), p.x(), p.y());
    event->accept();
}

void TImageWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press, as the old platform did.
    const QPoint p = EventPos(event);
    FOwner.DoDblClick(Button(event->button()), Shift(event), p.x(), p.y());
    event->accept();
}

void TImageWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = EventPos(event);
    FOwner.DoMouseMove(Shift(event), p.x(), p.y());
    event->accept();
}

void TImageWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (GetCaptureControl() != &FOwner)
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
    FOwner.DoMouseMove(Shift(QGuiApplication::keyboardModifiers(), QGuiApplication::mouseButtons()),
                       p.x(), p.y());
}
