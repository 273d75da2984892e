#include "toolkit/Timer.h"

void TTimer::DoTimer() {
    if (OnTimer)
        OnTimer(this);
}
