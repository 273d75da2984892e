#pragma once

#include "toolkit/Types.h"

#include <QWidget>

// The container a control is placed on.
using TWinControl = QWidget;

// What every child control offers the program: its bounds in its parent, its own visibility and
// painting, in the program's terms.
template <class Widget> class TControlOf : public Widget, public TObject {
public:
    using Widget::Widget;

    int Left() const { return this->x(); }
    int Top() const { return this->y(); }
    int Width() const { return this->width(); }
    int Height() const { return this->height(); }
    void SetLeft(int left) { this->move(left, this->y()); }
    void SetTop(int top) { this->move(this->x(), top); }
    void SetBounds(int left, int top, int width, int height) {
        this->setGeometry(left, top, width, height);
    }
    // The control's own flag; it shows only while its parents do too.
    bool Visible() const { return !this->isHidden(); }
    void SetVisible(bool visible) { this->setVisible(visible); }
    // Schedules painting, or paints at once.
    void Invalidate() { this->update(); }
    void Repaint() { this->repaint(); }
};
