#include "toolkit/Control.h"

TControl::TControl(TWinControl* parent) : TComponent(parent), FParent(parent) {}

TControl::~TControl() {
    // The children's windows go before this one's, which the platform would otherwise destroy
    // under them.
    DestroyComponents();
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
