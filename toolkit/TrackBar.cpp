#include "toolkit/TrackBar.h"

#include <algorithm>

void TTrackBar::SetMax(int value) {
    if (value < FMin)
        return;
    FMax = value;
    ShowRange();
    SetPosition(FPosition);
}

void TTrackBar::SetPosition(int value) {
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition)
        return;
    FPosition = value;
    ShowPosition();
    Raise();
}

void TTrackBar::SetLineSize(int value) {
    FLineSize = value;
    ShowSteps();
}

void TTrackBar::SetPageSize(int value) {
    FPageSize = value;
    ShowSteps();
}

void TTrackBar::DoUserScroll(int position) {
    FPosition = std::clamp(position, FMin, FMax);
    Raise();
}

void TTrackBar::Raise() {
    // A copy, so a handler may replace OnChange while it runs.
    if (auto handler = OnChange)
        handler(this);
}
