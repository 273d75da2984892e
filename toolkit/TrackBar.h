#pragma once

#include "toolkit/Control.h"

#include <QSlider>
#include <QTimer>
#include <functional>

// Horizontal slider with a stored position of its own. Code that sets the position or the maximum
// raises OnChange only when the stored position changes; every scroll notification of a user
// gesture raises it, moved or not (each drag step and the release, each key action and the key's
// release, each wheel step, each page step of a click in the channel and the release).
class TTrackBar : public TControlOf<QSlider> {
    Q_OBJECT
public:
    explicit TTrackBar(TWinControl* parent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }

    void SetMax(int value);
    void SetPosition(int value);
    void SetLineSize(int value);
    void SetPageSize(int value);
    void SetThumbLength(int value);

    TNotifyEvent OnChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class Style;
    enum class Gesture { None, Drag, Page };

    void Scroll(qint64 target);
    void Notify();
    void Raise();
    void ShowPosition(int value);
    int PageDirection(QPoint pointer) const;
    void PageRepeat();
    void CancelGesture();
    QRect HandleRect() const;

    const int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FLineSize = 0;
    int FPageSize = 0;
    Style* FStyle = nullptr;
    Gesture FGesture = Gesture::None;
    int FPageDir = 0;
    QPoint FPointer;
    QTimer FPageTimer{this};
    int FWheelDelta = 0;
};
