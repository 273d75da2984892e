#pragma once

#include "toolkit/Control.h"

#include <QKeyEvent>
#include <QWidget>

// What the Qt back end's widgets share for the keyboard and for assistive technology.

// Makes a control that our own widget draws (a picture, a label, the window) known to Qt's
// accessibility with an interface of ours: the control's role and its name as the control gives
// it when asked, and a press action for a button or a link. A window is a window to assistive
// technology, named by its title. Done when the widget is made, before anyone asks.
void AttachAccessible(TControl& control, QWidget& widget);

// For a widget of ours: Tab reaches buttons and links; a click leaves the focus where it was, so
// that the slider keeps its keys after a click on play. Qt's own widgets (the slider) keep theirs.
void ShowFocusPolicy(const TControl& control, QWidget& widget);

// Hands a key pressed in the control's widget to the control; true (and the event accepted) when
// the control used it.
bool ControlKeyPress(TControl& control, QKeyEvent* event);

// The focus mark along the widget's edges, when it shows one.
void PaintFocusMark(const TControl& control, QWidget& widget);
