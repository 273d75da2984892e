#include "toolkit/Control.h"

TControl::TControl(TWinControl* parent) : TComponent(parent), FParent(parent) {}

TControl::~TControl() {
    // The children's windows go before this one's, which the platform would otherwise destroy
    // under them.
    DestroyComponents();
}

void TControl::Click() {
    // A copy, so a handler may replace OnClick while it runs.
    if (auto handler = OnClick)
        handler(this);
}

void TControl::SetAccessibleRole(TAccessibleRole role) {
    FAccessibleRole = role;
    ShowAccessibleRole();
}

String TControl::AccessibleName() const {
    return OnAccessibleName ? OnAccessibleName() : FAccessibleName;
}

void TControl::SetAccessibleName(const String& name) {
    if (name == FAccessibleName)
        return;
    FAccessibleName = name;
    ShowAccessibleNameChange();
}

bool TControl::Pressable() const {
    return FAccessibleRole == TAccessibleRole::Button || FAccessibleRole == TAccessibleRole::Link;
}

bool TControl::DoKeyDown(TKeyCode key, bool repeated) {
    if (!Pressable() || key == TKeyCode::Other)
        return false;
    // A held key presses once, as a held mouse button does.
    if (!repeated)
        Click();
    return true;
}

void FocusMarkDots(int width, int height,
                   const std::function<void(int x, int y, TColor colour)>& dot) {
    const auto at = [&dot](int x, int y) { dot(x, y, (x + y) % 2 == 0 ? clBlack : clWhite); };
    for (int x = 0; x < width; ++x) {
        at(x, 0);
        at(x, height - 1);
    }
    for (int y = 1; y < height - 1; ++y) {
        at(0, y);
        at(width - 1, y);
    }
}

void TClickRule::Press(TMouseButton button) {
    if (button == TMouseButton::Left)
        FPending = true;
}

bool TClickRule::Release(const TControl& control, TMouseButton button, int x, int y) {
    if (button != TMouseButton::Left || !FPending)
        return false;
    FPending = false;
    return x >= 0 && x < control.Width() && y >= 0 && y < control.Height();
}
