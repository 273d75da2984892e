#pragma once

#include "toolkit/Types.h"

#include <QMouseEvent>
#include <cmath>

// The Qt back end's edge for the pointer: Qt's buttons, modifiers and positions in the program's
// terms.

// Buttons beyond the three count as the middle one: only the left button has a meaning here.
inline TMouseButton Button(Qt::MouseButton button) {
    return button == Qt::LeftButton    ? TMouseButton::Left
           : button == Qt::RightButton ? TMouseButton::Right
                                       : TMouseButton::Middle;
}

inline TShiftState Shift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
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

inline TShiftState Shift(const QMouseEvent* event) {
    return Shift(event->modifiers(), event->buttons());
}

inline QPoint EventPos(const QMouseEvent* event) {
    const QPointF p = event->position();
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}
