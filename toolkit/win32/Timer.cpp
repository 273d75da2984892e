#include "toolkit/Timer.h"

#include "toolkit/win32/native/Timer.h"

#include <algorithm>

// WM_TIMER: the system delivers at most one pending tick, however many fell due.
struct TTimer::Peer {
    win32::Timer Timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), FPeer(std::make_unique<Peer>()) {
    FPeer->Timer.SetEnabled(FEnabled);
    FPeer->Timer.SetInterval(static_cast<unsigned>(FInterval));
    FPeer->Timer.OnTimer = [this] { DoTimer(); };
}

TTimer::~TTimer() = default;

void TTimer::SetInterval(int ms) {
    FInterval = ms;
    FPeer->Timer.SetInterval(static_cast<unsigned>(std::max(ms, 0)));
}

void TTimer::SetEnabled(bool enabled) {
    FEnabled = enabled;
    FPeer->Timer.SetEnabled(enabled);
}
