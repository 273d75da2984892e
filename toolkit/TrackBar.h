#pragma once

#include "toolkit/Control.h"

// Horizontal slider with a stored position of its own. Code that sets the position or the maximum
// raises OnChange only when the stored position changes; every scroll notification of a user
// gesture raises it, moved or not (each drag step and the release, each key action and the key's
// release, each wheel step, each page step of a click in the channel and the release).
class TTrackBar : public TControl {
public:
    explicit TTrackBar(TWinControl* parent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int LineSize() const { return FLineSize; }
    int PageSize() const { return FPageSize; }

    void SetMax(int value);
    void SetPosition(int value);
    void SetLineSize(int value);
    void SetPageSize(int value);
    void SetThumbLength(int value);

    TNotifyEvent OnChange;

    // The platform reports each scroll notification of a user gesture here, with the position
    // the thumb stands at.
    void DoUserScroll(int position);

private:
    void Raise();
    // The platform's part: show the range, the position, the steps and the thumb's length.
    void ShowRange();
    void ShowPosition();
    void ShowSteps();

    const int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FLineSize = 0;
    int FPageSize = 0;
};
