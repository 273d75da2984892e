#include "toolkit/Timer.h"

#include <QTimer>

struct TTimer::Peer {
    QTimer Timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), FPeer(std::make_unique<Peer>()) {
    // A coarse timer lets the system batch wake-ups: playback should cost almost nothing.
    FPeer->Timer.setTimerType(Qt::CoarseTimer);
    FPeer->Timer.setInterval(FInterval);
    QObject::connect(&FPeer->Timer, &QTimer::timeout, [this] { DoTimer(); });
}

TTimer::~TTimer() = default;

void TTimer::SetInterval(int ms) {
    FInterval = ms;
    FPeer->Timer.setInterval(ms);
}

void TTimer::SetEnabled(bool enabled) {
    FEnabled = enabled;
    if (enabled)
        FPeer->Timer.start();
    else
        FPeer->Timer.stop();
}
