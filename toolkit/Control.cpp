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
