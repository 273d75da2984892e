#include "Ui.h"

#include "toolkit/qt/Peer.h"
#include "toolkit/qt/Pixels.h"
#include "toolkit/qt/TrackBar.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <climits>

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
        return Qt::Key_End;
    case TKey::A:
        return Qt::Key_A;
    case TKey::Space:
        return Qt::Key_Space;
    case TKey::Tab:
        return Qt::Key_Tab;
    case TKey::ShiftTab:
        return Qt::Key_Backtab; // as X11 delivers Shift+Tab
    case TKey::Return:
        break;
    }
    return Qt::Key_Return;
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

// QTest's mouse event, except that (0, 0) is the control's top-left corner: QTest takes a null
// point for the centre, so that one is delivered here as QTest would deliver it.
void Mouse(QTest::MouseAction action, QWidget* w, Qt::MouseButton button, QPoint at) {
    if (!at.isNull()) {
        QTest::mouseEvent(action, w, button, {}, at);
        return;
    }
    Qt::MouseButtons& held = QTestPrivate::qtestMouseButtons;
    QEvent::Type type = QEvent::MouseMove;
    switch (action) {
    case QTest::MousePress:
        held.setFlag(button, true);
        type = QEvent::MouseButtonPress;
        break;
    case QTest::MouseRelease:
        held.setFlag(button, false);
        type = QEvent::MouseButtonRelease;
        break;
    case QTest::MouseDClick:
        held.setFlag(button, true);
        type = QEvent::MouseButtonDblClick;
        break;
    case QTest::MouseClick:
        Mouse(QTest::MousePress, w, button, at);
        Mouse(QTest::MouseRelease, w, button, at);
        return;
    case QTest::MouseMove:
        if (held == Qt::NoButton) {
            QCursor::setPos(w->mapToGlobal(at));
            QApplication::processEvents();
            return;
        }
        button = Qt::NoButton;
        break;
    }
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(w, &event);
}

} // namespace

void PointerMove(TControl& control, TPoint at) {
    Mouse(QTest::MouseMove, W(control), Qt::NoButton, P(at));
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
    Mouse(QTest::MousePress, W(control), B(button), P(at));
}

void PointerRelease(TControl& control, TPoint at, TMouseButton button) {
    Mouse(QTest::MouseRelease, W(control), B(button), P(at));
}

void PointerClick(TControl& control, TPoint at, TMouseButton button) {
    Mouse(QTest::MouseClick, W(control), B(button), P(at));
}

void DoubleClick(TControl& control, TPoint at, TMouseButton button) {
    Mouse(QTest::MouseDClick, W(control), B(button), P(at));
}

bool SendPointer(TControl& control, TPointerEvent event, TMouseButton button, TPoint at) {
    QWidget* w = W(control);
    const Qt::MouseButton b = B(button);
    const QEvent::Type type = event == TPointerEvent::Press  ? QEvent::MouseButtonPress
                              : event == TPointerEvent::Move ? QEvent::MouseMove
                                                             : QEvent::MouseButtonRelease;
    QMouseEvent e(type, QPointF(P(at)), QPointF(w->mapToGlobal(P(at))),
                  event == TPointerEvent::Move ? Qt::NoButton : b,
                  event == TPointerEvent::Release ? Qt::NoButton : b, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

void Wheel(TControl& control, int delta) {
    QWidget* w = W(control);
    const QPointF pos = w->rect().center();
    QWheelEvent event(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

int WheelScrollLines() {
    return QApplication::wheelScrollLines();
}

void SetWheelScrollLines(int lines) {
    QApplication::setWheelScrollLines(lines);
}

void KeyAutoRepeat(TControl& control, TKey key) {
    // What X11 delivers while a key is held: a release and a press, both marked auto-repeat.
    QKeyEvent release(QEvent::KeyRelease, K(key), Qt::NoModifier, QString(), true);
    QApplication::sendEvent(W(control), &release);
    QKeyEvent press(QEvent::KeyPress, K(key), Qt::NoModifier, QString(), true);
    QApplication::sendEvent(W(control), &press);
}

void LoseFocus(TControl& control) {
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(W(control), &out);
}

void KeyToFocus(TForm& form, TKey key) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = W(form)->focusWidget() != nullptr ? W(form)->focusWidget() : W(form);
    QTest::keyClick(target, K(key), key == TKey::ShiftTab ? Qt::ShiftModifier : Qt::NoModifier);
}

namespace {
QAccessibleInterface* Interface(TControl& control) {
    return QAccessible::queryAccessibleInterface(W(control));
}
} // namespace

TAccessible Accessible(TControl& control) {
    QAccessibleInterface* iface = Interface(control);
    if (iface == nullptr)
        return {};
    TAccessible a;
    switch (iface->role()) {
    case QAccessible::Button:
        a.Role = TAccessibleRole::Button;
        break;
    case QAccessible::Link:
        a.Role = TAccessibleRole::Link;
        break;
    case QAccessible::Slider:
        a.Role = TAccessibleRole::Slider;
        break;
    case QAccessible::Graphic:
        a.Role = TAccessibleRole::Picture;
        break;
    default:
        break;
    }
    a.Name = iface->text(QAccessible::Name).toStdString();
    a.Focusable = iface->state().focusable;
    a.Focused = iface->state().focused;
    const QAccessibleActionInterface* actions = iface->actionInterface();
    a.Pressable = actions != nullptr &&
                  actions->actionNames().contains(QAccessibleActionInterface::pressAction());
    return a;
}

String AccessibleValue(TControl& control) {
    QAccessibleInterface* iface = Interface(control);
    const QAccessibleValueInterface* value = iface != nullptr ? iface->valueInterface() : nullptr;
    return value != nullptr ? value->currentValue().toString().toStdString() : String();
}

bool AccessiblePress(TControl& control) {
    QAccessibleInterface* iface = Interface(control);
    QAccessibleActionInterface* actions = iface != nullptr ? iface->actionInterface() : nullptr;
    if (actions == nullptr ||
        !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return false;
    actions->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    return true;
}

namespace {
TTrackBarWidget* Slider(TTrackBar& bar) {
    return static_cast<TTrackBarWidget*>(QtWidget(&bar));
}
} // namespace

TShownSlider ShownSlider(TTrackBar& bar) {
    const TTrackBarWidget* slider = Slider(bar);
    // The value and the drawn position must agree; a mismatch shows as a position of INT_MIN.
    const int position = slider->value() == slider->sliderPosition() ? slider->value() : INT_MIN;
    return {slider->minimum(), slider->maximum(), position};
}

TPoint ThumbCentre(TTrackBar& bar) {
    const QPoint centre = Slider(bar)->HandleRect().center();
    return {centre.x(), centre.y()};
}

int ThumbLength(TTrackBar& bar) {
    return Slider(bar)->HandleRect().height();
}

bool ThumbHeld(TTrackBar& bar) {
    return Slider(bar)->isSliderDown();
}

void PageRepeatTick(TTrackBar& bar) {
    auto* timer = Slider(bar)->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    if (timer == nullptr || !timer->isActive())
        return;
    QTimerEvent event(timer->timerId());
    QApplication::sendEvent(timer, &event);
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

void EveryLoopPass(TControl& owner, std::function<void()> action) {
    auto* timer = new QTimer(W(owner));
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(action));
    timer->start();
}

TBackEnd BackEnd() {
    return TBackEnd::Qt;
}

bool ShowAndWait(TControl& control) {
    W(control)->show();
    return QTest::qWaitForWindowExposed(W(control));
}

bool ActivateAndWait(TControl& control) {
    QWidget* window = W(control)->window();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

bool HasFocus(TControl& control) {
    return QApplication::focusWidget() == W(control);
}

bool HasFrame(TForm& form) {
    return !(W(form)->windowFlags() & Qt::FramelessWindowHint);
}

String WindowCaption(TForm& form) {
    return W(form)->windowTitle().toStdString();
}

bool DropFiles(TForm& form, const std::vector<String>& files) {
    QList<QUrl> urls;
    for (const String& file : files)
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(form), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W(form), &drop);
    return drop.isAccepted();
}

TPixels Rendered(TControl& control) {
    return FromImage(W(control)->grab().toImage());
}

TPixels Rendered(TControl& container, const TControl& area) {
    return FromImage(
        W(container)->grab(QRect(area.Left(), area.Top(), area.Width(), area.Height())).toImage());
}

std::uint32_t PixelAt(const TBitmap& bitmap, int x, int y) {
    return BitmapImage(bitmap).pixel(x, y) & 0x00FFFFFFu;
}

TPixels Pixels(const TBitmap& bitmap) {
    return FromImage(BitmapImage(bitmap));
}

bool SharePixels(const TBitmap& a, const TBitmap& b) {
    return !a.Empty() && BitmapImage(a).constBits() == BitmapImage(b).constBits();
}

} // namespace ui
