#pragma once

#include "toolkit/TrackBar.h"

#include <QSlider>
#include <QTimer>

// The slider's window: turns Qt's mouse, key and wheel input into the scroll notifications of the
// old platform's trackbar.
class TTrackBarWidget : public QSlider {
public:
    TTrackBarWidget(TTrackBar& owner, QWidget* parent);

    void ShowPosition(int value);
    void SetThumbLength(int value);
    // Where the thumb is drawn.
    QRect HandleRect() const;

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
    int PageDirection(QPoint pointer) const;
    void PageRepeat();
    void CancelGesture();

    TTrackBar& FOwner;
    Style* FStyle = nullptr;
    Gesture FGesture = Gesture::None;
    int FPageDir = 0;
    QPoint FPointer;
    QTimer FPageTimer{this};
    int FWheelDelta = 0;
};
