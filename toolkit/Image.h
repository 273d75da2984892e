#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <memory>

// Shows one picture 1:1 at its top-left corner and gives the click rules of the old platform's
// non-windowed controls. It draws nothing where the picture does not reach, so the parent's
// colour shows there.
class TImage : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TImage(TWinControl* parent = nullptr);
    ~TImage() override;

    // Every change repaints; with AutoSize a non-empty picture also resizes the control.
    TPicture* Picture() { return FPicture.get(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    // Pointer events in the old platform's terms, for controls built on this one.
    virtual void MouseDown(TMouseButton, TShiftState, int, int) {}
    virtual void MouseMove(TShiftState, int, int) {}
    virtual void MouseUp(TMouseButton, TShiftState, int, int) {}

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PictureChanged();
    void AdjustSize();
    void UpdateOpacity();

    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    bool FAutoSize = false;
    bool FClickPending = false;
};

// Pointer capture, one for the whole program as on the old platform. It only routes our own
// logic: Qt already grabs the pointer while a button is held, and for the hover case a control
// holding the capture gets a leaving move from its leave event.
QWidget* GetCaptureControl();
void SetCaptureControl(QWidget* control);
void ReleaseCapture();
