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
    template <class P> void SetPeer(std::unique_ptr<P> peer) { FPeer.reset(peer.release()); }

private:
    // Each back end deletes its own peers: the shared code never needs their complete type.
    struct PeerDeleter {
        void operator()(Peer* peer) const noexcept;
    };

    TWinControl* FParent;
    std::unique_ptr<Peer, PeerDeleter> FPeer;
};

// A control that holds other controls; it owns them, and they go before it.
class TWinControl : public TControl {
protected:
    using TControl::TControl;
};

// The old platform's click: the left button pressed on a control and released over it, where the
// right and bottom edges count as outside. Releases of other buttons change nothing.
class TClickRule {
public:
    void Press(TMouseButton button);
    // Whether this release completes a click on `control` (x and y in its coordinates).
    bool Release(const TControl& control, TMouseButton button, int x, int y);

private:
    bool FPending = false;
};
