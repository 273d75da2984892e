#include "toolkit/qt/Accessible.h"

#include "toolkit/qt/Convert.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

const char* const ControlProperty = "reelstand.control";

QAccessible::Role QtRole(TAccessibleRole role, const QWidget* widget) {
    switch (role) {
    case TAccessibleRole::Button:
        return QAccessible::Button;
    case TAccessibleRole::Link:
        return QAccessible::Link;
    case TAccessibleRole::Picture:
        return QAccessible::Graphic;
    case TAccessibleRole::Slider:
        return QAccessible::Slider;
    case TAccessibleRole::None:
        break;
    }
    if (widget->isWindow())
        return QAccessible::Window;
    return qobject_cast<const QLabel*>(widget) != nullptr ? QAccessible::StaticText
                                                          : QAccessible::Client;
}

// A control drawn by our own widget, in the terms of Qt's accessibility (AT-SPI on Linux).
class TAccessibleControl : public QAccessibleWidget {
public:
    TAccessibleControl(QWidget* widget, TControl& control)
        : QAccessibleWidget(widget), FControl(control) {}

    QAccessible::Role role() const override { return QtRole(FControl.AccessibleRole(), widget()); }

    // Asked for when it is read: a picture's name follows its frame without an event per frame.
    // Without a name of the control's, Qt's (a window's title).
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            if (const String name = FControl.AccessibleName(); !name.empty())
                return ToQ(name);
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (FControl.Pressable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override {
        if (name != pressAction() || !FControl.Pressable()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // From the event loop once the request has returned: a handler may open a modal dialog,
        // which must not keep the assistive technology waiting for its answer.
        QTimer::singleShot(0, widget(), [control = &FControl] { control->Click(); });
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TControl& FControl;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    auto* control = static_cast<TControl*>(widget->property(ControlProperty).value<void*>());
    return control != nullptr ? new TAccessibleControl(widget, *control) : nullptr;
}

} // namespace

void AttachAccessible(TControl& control, QWidget& widget) {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    widget.setProperty(ControlProperty, QVariant::fromValue(static_cast<void*>(&control)));
}

void ShowFocusPolicy(const TControl& control, QWidget& widget) {
    if (!widget.property(ControlProperty).isValid())
        return;
    widget.setFocusPolicy(control.Pressable() ? Qt::TabFocus : Qt::NoFocus);
}

bool ControlKeyPress(TControl& control, QKeyEvent* event) {
    const int key = event->key();
    const TKeyCode code = key == Qt::Key_Space                            ? TKeyCode::Space
                          : key == Qt::Key_Return || key == Qt::Key_Enter ? TKeyCode::Return
                                                                          : TKeyCode::Other;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (!control.DoKeyDown(code, event->isAutoRepeat()))
        return false;
    event->accept();
    return true;
}

void PaintFocusMark(const TControl& control, QWidget& widget) {
    if (!control.Pressable() || !widget.hasFocus())
        return;
    QPainter p(&widget);
    FocusMarkDots(widget.width(), widget.height(), [&p](int x, int y, TColor colour) {
        p.setPen(ToQColor(colour));
        p.drawPoint(x, y);
    });
}
