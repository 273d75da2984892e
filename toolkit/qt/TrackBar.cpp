#include "toolkit/qt/TrackBar.h"

#include "toolkit/qt/Peer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// A click held in the channel keeps paging, first after a pause, then quickly.
constexpr int PageRepeatDelay = 500;
constexpr int PageRepeatInterval = 50;
constexpr int WheelNotch = 120;

bool IsScrollKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

// The thumb length is the thumb's extent across the channel; along the channel the thumb is about
// half as wide. A click in the channel pages towards the pointer and never jumps the thumb there.
class TTrackBarWidget::Style : public QProxyStyle {
public:
    int Length = 20;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int length = std::max(Length, 1);
        switch (metric) {
        case PM_SliderThickness:
        case PM_SliderControlThickness:
            return length;
        case PM_SliderLength:
            return length / 2 + 1;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::NoButton;
        if (hint == SH_Slider_PageSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

TTrackBar::TTrackBar(TWinControl* parent) : TControl(parent) {
    SetPeer(std::make_unique<Peer>(new TTrackBarWidget(*this, QtWidget(parent))));
}

namespace {
TTrackBarWidget& Slider(const TTrackBar& bar) {
    return *static_cast<TTrackBarWidget*>(QtWidget(&bar));
}
} // namespace

void TTrackBar::ShowRange() {
    const QSignalBlocker blocker(Slider(*this));
    Slider(*this).setRange(FMin, FMax);
}

void TTrackBar::ShowPosition() {
    Slider(*this).ShowPosition(FPosition);
}

void TTrackBar::ShowSteps() {
    // Keeps Qt's own actions (accessibility) in step; the platform arithmetic uses our sizes.
    Slider(*this).setSingleStep(std::max(FLineSize, 0));
    Slider(*this).setPageStep(std::max(FPageSize, 0));
}

void TTrackBar::SetThumbLength(int value) {
    Slider(*this).SetThumbLength(value);
}

TTrackBarWidget::TTrackBarWidget(TTrackBar& owner, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), FOwner(owner), FStyle(new Style) {
    // The widget keeps only a guarded pointer to its style, so it may own it as a child.
    FStyle->setParent(this);
    setStyle(FStyle);
    setFocusPolicy(Qt::StrongFocus);
    setTickPosition(NoTicks);
    setTracking(true);
    {
        const QSignalBlocker blocker(this);
        setRange(owner.Min(), owner.Max());
        setValue(owner.Position());
        setSingleStep(std::max(owner.LineSize(), 0));
        setPageStep(std::max(owner.PageSize(), 0));
    }
    // Drag steps (and any other action Qt triggers on its own) arrive here with sliderPosition()
    // already moved and value() not yet: that is why the stored position is the owner's.
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { Notify(); });
    FPageTimer.callOnTimeout(this, [this] { PageRepeat(); });
}

void TTrackBarWidget::SetThumbLength(int value) {
    FStyle->Length = value;
    updateGeometry();
    update();
}

void TTrackBarWidget::keyPressEvent(QKeyEvent* event) {
    if (!IsScrollKey(event->key())) {
        QSlider::keyPressEvent(event);
        return;
    }
    event->accept();
    const qint64 position = sliderPosition();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        Scroll(position - FOwner.LineSize());
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        Scroll(position + FOwner.LineSize());
        break;
    case Qt::Key_PageUp:
        Scroll(position - FOwner.PageSize());
        break;
    case Qt::Key_PageDown:
        Scroll(position + FOwner.PageSize());
        break;
    case Qt::Key_Home:
        Scroll(FOwner.Min());
        break;
    case Qt::Key_End:
        Scroll(FOwner.Max());
        break;
    }
}

void TTrackBarWidget::keyReleaseEvent(QKeyEvent* event) {
    if (!IsScrollKey(event->key())) {
        QSlider::keyReleaseEvent(event);
        return;
    }
    event->accept();
    // The end of the key's scroll; auto-repeat sends releases that are not one.
    if (!event->isAutoRepeat())
        Notify();
}

void TTrackBarWidget::wheelEvent(QWheelEvent* event) {
    event->accept();
    const qint64 delta = std::int64_t{FWheelDelta} + event->angleDelta().y();
    const qint64 notches = delta / WheelNotch;
    FWheelDelta = static_cast<int>(delta % WheelNotch);
    if (notches == 0)
        return;
    // Turning the wheel away from the user scrolls up, towards the minimum, like the Up key.
    // One notification per event, however many notches it carries; the factors are bounded so the
    // product cannot overflow before it is clamped into the range.
    constexpr qint64 Bound = qint64{1} << 31;
    const qint64 lines = std::clamp(notches * QApplication::wheelScrollLines(), -Bound, Bound);
    Scroll(sliderPosition() - lines * FOwner.LineSize());
}

void TTrackBarWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->buttons() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // A release that went elsewhere (a modal box opened by a handler) must not leave us stuck.
    CancelGesture();
    event->accept();
    const QPoint pointer = event->position().toPoint();
    if (HandleRect().contains(pointer)) {
        FGesture = Gesture::Drag;
        if (minimum() < maximum())
            QSlider::mousePressEvent(event);
        else
            setSliderDown(true); // QSlider ignores presses on an empty range; the release counts
        return;
    }
    const int direction = PageDirection(pointer);
    if (direction == 0)
        return;
    FGesture = Gesture::Page;
    FPageDir = direction;
    FPointer = pointer;
    FPageTimer.start(PageRepeatDelay);
    Scroll(sliderPosition() + qint64{direction} * FOwner.PageSize());
}

void TTrackBarWidget::mouseMoveEvent(QMouseEvent* event) {
    switch (FGesture) {
    case Gesture::Drag:
        QSlider::mouseMoveEvent(event);
        break;
    case Gesture::Page:
        FPointer = event->position().toPoint();
        event->accept();
        break;
    case Gesture::None:
        event->ignore();
        break;
    }
}

void TTrackBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || FGesture == Gesture::None) {
        event->ignore();
        return;
    }
    const Gesture gesture = std::exchange(FGesture, Gesture::None);
    FPageTimer.stop();
    if (gesture == Gesture::Drag) {
        QSlider::mouseReleaseEvent(event);
        setSliderDown(false);
    }
    event->accept();
    Notify();
}

void TTrackBarWidget::focusOutEvent(QFocusEvent* event) {
    // A gesture we can no longer follow ends without a notification.
    CancelGesture();
    QSlider::focusOutEvent(event);
}

void TTrackBarWidget::Scroll(qint64 target) {
    ShowPosition(static_cast<int>(std::clamp<qint64>(target, FOwner.Min(), FOwner.Max())));
    Notify();
}

void TTrackBarWidget::Notify() {
    FOwner.DoUserScroll(sliderPosition());
}

void TTrackBarWidget::ShowPosition(int value) {
    const QSignalBlocker blocker(this);
    setValue(value);
}

int TTrackBarWidget::PageDirection(QPoint pointer) const {
    const QRect handle = HandleRect();
    if (pointer.x() < handle.left())
        return -1;
    if (pointer.x() > handle.right())
        return 1;
    return 0;
}

void TTrackBarWidget::PageRepeat() {
    if (!isEnabled() || !isVisible()) {
        CancelGesture();
        return;
    }
    FPageTimer.setInterval(PageRepeatInterval);
    // Paging stops once the thumb has reached the pointer.
    if (PageDirection(FPointer) != FPageDir)
        return;
    Scroll(sliderPosition() + qint64{FPageDir} * FOwner.PageSize());
}

void TTrackBarWidget::CancelGesture() {
    FGesture = Gesture::None;
    FPageTimer.stop();
    if (isSliderDown()) {
        const QSignalBlocker blocker(this);
        setSliderDown(false);
    }
}

QRect TTrackBarWidget::HandleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}
