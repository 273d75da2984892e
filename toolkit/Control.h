#pragma once

#include "toolkit/Classes.h"

#include <QWidget>
#include <memory>

// The container a control is placed on.
using TWinControl = QWidget;

// A child control: its bounds in its parent, its own visibility and painting, in the program's
// terms. Its window belongs to the platform (the peer); the control owns it.
class TControl : public TComponent {
public:
    ~TControl() override;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetBounds(int left, int top, int width, int height);
    // The control's own flag; it shows only while its parents do too.
    bool Visible() const;
    void SetVisible(bool visible);
    // Schedules painting, or paints at once.
    void Invalidate();
    void Repaint();

    // The platform's window of the control.
    struct Peer;
    Peer* Handle() const { return FPeer.get(); }

protected:
    explicit TControl(TWinControl* parent);
    // The derived control's constructor hands over its window here, once.
    void SetPeer(std::unique_ptr<Peer> peer);

private:
    std::unique_ptr<Peer> FPeer;
};

// A control that is still a Qt widget itself, with the same calls as TControl.
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
    bool Visible() const { return !this->isHidden(); }
    void SetVisible(bool visible) { this->setVisible(visible); }
    void Invalidate() { this->update(); }
    void Repaint() { this->repaint(); }
};
