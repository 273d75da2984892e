#pragma once

#include "toolkit/Classes.h"

#include <functional>
#include <memory>

class TWinControl;

// What a control is to assistive technology (a screen reader): None leaves it to the platform.
// Buttons and links can be pressed, and take the keyboard focus from Tab.
enum class TAccessibleRole { None, Button, Link, Slider, Picture };

// The keys that a control acts on by the toolkit's own rules.
enum class TKeyCode { Space, Return, Other };

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

    // Runs OnClick: a click, or a press by key or by assistive technology, which must run
    // exactly what a click runs.
    TNotifyEvent OnClick;
    void Click();

    // What assistive technology is told: the role, and the name as read now, which is the one
    // set or, with OnAccessibleName, the one computed when the system asks (a name that changes
    // with every frame is then announced to no one).
    TAccessibleRole AccessibleRole() const { return FAccessibleRole; }
    void SetAccessibleRole(TAccessibleRole role);
    String AccessibleName() const;
    // A name that differs from the last is announced as changed (a button that follows a state).
    void SetAccessibleName(const String& name);
    std::function<String()> OnAccessibleName;
    // A button or a link.
    bool Pressable() const;

    // The keyboard focus, as the platform has it; a pressable control that holds it shows the
    // focus mark (FocusMarkDots).
    bool Focused() const;
    void SetFocus();
    // The platform reports a key pressed while the control has the focus (`repeated`: the key's
    // auto-repeat); true when the control used it. Space and Enter press a pressable control,
    // once per stroke.
    bool DoKeyDown(TKeyCode key, bool repeated);

    // The platform's window of the control.
    struct Peer;
    Peer* Handle() const { return FPeer.get(); }

protected:
    explicit TControl(TWinControl* parent);
    // The derived control's constructor hands over its window here, once.
    template <class P> void SetPeer(std::unique_ptr<P> peer) { FPeer.reset(peer.release()); }

private:
    // The platform's part: tell the system the role, and that the name changed.
    void ShowAccessibleRole();
    void ShowAccessibleNameChange();

    // Each back end deletes its own peers: the shared code never needs their complete type.
    struct PeerDeleter {
        void operator()(Peer* peer) const noexcept;
    };

    TWinControl* FParent;
    std::unique_ptr<Peer, PeerDeleter> FPeer;
    TAccessibleRole FAccessibleRole = TAccessibleRole::None;
    String FAccessibleName;
};

// A control that holds other controls; it owns them, and they go before it.
class TWinControl : public TControl {
protected:
    using TControl::TControl;
};

// The focus mark of a control of this size: a one-pixel ring along its edges, dots alternating
// black and white, which shows on the white transport bar and on the black frame alike.
void FocusMarkDots(int width, int height,
                   const std::function<void(int x, int y, TColor colour)>& dot);

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
