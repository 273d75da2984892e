#include "toolkit/Control.h"

#include "toolkit/qt/Accessible.h"
#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Peer.h"

void TControl::PeerDeleter::operator()(Peer* peer) const noexcept {
    delete peer;
}

int TControl::Left() const {
    return FPeer->Widget->x();
}
int TControl::Top() const {
    return FPeer->Widget->y();
}
int TControl::Width() const {
    return FPeer->Widget->width();
}
int TControl::Height() const {
    return FPeer->Widget->height();
}
void TControl::SetLeft(int left) {
    FPeer->Widget->move(left, Top());
}
void TControl::SetTop(int top) {
    FPeer->Widget->move(Left(), top);
}
void TControl::SetBounds(int left, int top, int width, int height) {
    FPeer->Widget->setGeometry(left, top, width, height);
}
bool TControl::Visible() const {
    return !FPeer->Widget->isHidden();
}
void TControl::SetVisible(bool visible) {
    FPeer->Widget->setVisible(visible);
}
void TControl::Invalidate() {
    FPeer->Widget->update();
}
void TControl::Repaint() {
    FPeer->Widget->repaint();
}
bool TControl::Focused() const {
    return FPeer->Widget->hasFocus();
}
void TControl::SetFocus() {
    FPeer->Widget->setFocus(Qt::TabFocusReason);
}
void TControl::ShowAccessibleRole() {
    ShowFocusPolicy(*this, *FPeer->Widget);
}
void TControl::ShowAccessibleNameChange() {
    // Qt tells assistive technology of the new name.
    FPeer->Widget->setAccessibleName(ToQ(FAccessibleName));
}
