#include "toolkit/Timer.h"

void TTimer::SetInterval(int ms) {
    FInterval = ms;
    Schedule();
}

void TTimer::SetEnabled(bool enabled) {
    FEnabled = enabled;
    Schedule();
}

void TTimer::DoTimer() {
    if (OnTimer)
        OnTimer(this);
}
