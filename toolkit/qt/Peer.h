#pragma once

#include "toolkit/Control.h"

#include <QPointer>
#include <QWidget>

// A control's window in the Qt back end: the widget, which the control owns.
struct TControl::Peer {
    explicit Peer(QWidget* widget) : Widget(widget) {}
    ~Peer() { delete Widget.data(); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    QPointer<QWidget> Widget;
};

// The widget behind a control, for the back end and for the tests that drive it.
inline QWidget* QtWidget(const TControl* control) {
    return control != nullptr && control->Handle() != nullptr ? control->Handle()->Widget.data()
                                                              : nullptr;
}
