#pragma once

#include "toolkit/Classes.h"

#include <memory>

class TWinControl;

// A control: its bounds in its parent, its own visibility and painting, in the program's
// terms. Its window belongs to the platform (the peer); the control owns it.
class TControl : public TComponent {
public:
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }

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
    TWinControl* FParent;
    std::unique_ptr<Peer> FPeer;
};

// A control that holds other controls; it owns them, and they go before it.
class TWinControl : public TControl {
protected:
    using TControl::TControl;
};
