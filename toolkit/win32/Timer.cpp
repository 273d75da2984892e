#include "toolkit/Timer.h"

#include "toolkit/win32/native/Timer.h"

// WM_TIMER: the system delivers at most one pending tick, however many fell due.
struct TTimer::Peer {
    win32::Timer Timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), FPeer(std::make_unique<Peer>()) {
    FPeer->Timer.OnTimer = [this] { DoTimer(); };
    Schedule();
}

TTimer::~TTimer() = default;

void TTimer::Schedule() {
    win32::Timer& timer = FPeer->Timer;
    if (Ticking())
        timer.SetInterval(static_cast<unsigned>(FInterval));
    timer.SetEnabled(Ticking());
}
