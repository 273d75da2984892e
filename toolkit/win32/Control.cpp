#include "toolkit/Control.h"

#include "toolkit/win32/Peer.h"

void TControl::PeerDeleter::operator()(Peer* peer) const noexcept {
    delete peer;
}

int TControl::Left() const {
    return FPeer->Bounds().left;
}
int TControl::Top() const {
    return FPeer->Bounds().top;
}
int TControl::Width() const {
    const RECT r = FPeer->Bounds();
    return r.right - r.left;
}
int TControl::Height() const {
    const RECT r = FPeer->Bounds();
    return r.bottom - r.top;
}
void TControl::SetLeft(int left) {
    SetBounds(left, Top(), Width(), Height());
}
void TControl::SetTop(int top) {
    SetBounds(Left(), top, Width(), Height());
}
void TControl::SetBounds(int left, int top, int width, int height) {
    FPeer->SetBounds(RECT{left, top, left + std::max(width, 0), top + std::max(height, 0)});
}
bool TControl::Visible() const {
    return FPeer->Visible();
}
void TControl::SetVisible(bool visible) {
    FPeer->SetVisible(visible);
}
void TControl::Invalidate() {
    FPeer->Invalidate();
}
void TControl::Repaint() {
    FPeer->Repaint();
}
bool TControl::Focused() const {
    return FPeer->Focused();
}
void TControl::SetFocus() {
    FPeer->Focus();
}
void TControl::ShowAccessibleRole() {
    FPeer->ShowAccessibleRole(FAccessibleRole, Pressable());
}
void TControl::ShowAccessibleNameChange() {
    FPeer->NotifyNameChange();
}
