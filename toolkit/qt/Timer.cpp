#include "toolkit/Timer.h"

#include <QTimer>

struct TTimer::Peer {
    QTimer Timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), FPeer(std::make_unique<Peer>()) {
    // A coarse timer lets the system batch wake-ups: playback should cost almost nothing.
    FPeer->Timer.setTimerType(Qt::CoarseTimer);
    QObject::connect(&FPeer->Timer, &QTimer::timeout, [this] { DoTimer(); });
}

TTimer::~TTimer() = default;

void TTimer::Schedule() {
    if (Ticking())
        FPeer->Timer.start(FInterval);
    else
        FPeer->Timer.stop();
}
