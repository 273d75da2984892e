#include "toolkit/TrackBar.h"

#include "toolkit/win32/Peer.h"
#include "toolkit/win32/native/TrackBar.h"

namespace {

using namespace win32peer;

// The common-controls trackbar, a child window of its own.
struct TTrackBarPeer : TChildWindowPeer {
    explicit TTrackBarPeer(TWinControl* parent)
        : Bar(ContainerFor(parent, Host).Handle(), 0, 0, 0, 0) {}

    HWND Window() const override { return Bar.Handle(); }
    void Invalidate() override { InvalidateRect(Bar.Handle(), nullptr, TRUE); }
    void Repaint() override {
        RedrawWindow(Bar.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    void Rescale(const RECT& bounds) override {
        Bar.SetThumbLength(win32::Scaled(ThumbLength));
        SetBounds(bounds);
    }
    void NotifyNameChange() override {
        win32::NotifyAccessibleNameChange(Bar.Handle(), CHILDID_SELF);
    }

    win32::TrackBar Bar;
    int ThumbLength = 20;
};

win32::TrackBar& Slider(const TTrackBar& bar) {
    return static_cast<TTrackBarPeer*>(bar.Handle())->Bar;
}

} // namespace

TTrackBar::TTrackBar(TWinControl* parent) : TControl(parent) {
    auto peer = std::make_unique<TTrackBarPeer>(parent);
    peer->Bar.OnUserScroll = [this](int position) { DoUserScroll(position); };
    peer->Bar.Name = [this] { return AccessibleName(); };
    SetPeer(std::move(peer));
    ShowRange();
    ShowPosition();
    ShowSteps();
}

void TTrackBar::ShowRange() {
    Slider(*this).SetMax(FMax);
}

void TTrackBar::ShowPosition() {
    Slider(*this).SetPosition(FPosition);
}

void TTrackBar::ShowSteps() {
    Slider(*this).SetLineSize(FLineSize);
    Slider(*this).SetPageSize(FPageSize);
}

void TTrackBar::SetThumbLength(int value) {
    static_cast<TTrackBarPeer*>(Handle())->ThumbLength = value;
    Slider(*this).SetThumbLength(win32::Scaled(value));
}
