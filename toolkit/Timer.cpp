#include "toolkit/Timer.h"

TTimer::TTimer(QObject* parent) : QObject(parent) {
    // A coarse timer lets the system batch wake-ups: playback should cost almost nothing.
    FTimer.setTimerType(Qt::CoarseTimer);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        if (OnTimer)
            OnTimer(this);
    });
}

void TTimer::SetInterval(int ms) {
    FTimer.setInterval(ms);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled)
        FTimer.start();
    else
        FTimer.stop();
}
