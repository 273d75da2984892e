#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <memory>

// Shows one picture 1:1 at its top-left corner and gives the click rules of the old platform's
// non-windowed controls. It draws nothing where the picture does not reach, so the parent's
// colour shows there.
class TImage : public TControl {
public:
    explicit TImage(TWinControl* parent = nullptr);
    ~TImage() override;

    // Every change repaints; with AutoSize a non-empty picture also resizes the control.
    TPicture* Picture() { return FPicture.get(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);

    TNotifyEvent OnDblClick;

    // The platform reports the pointer here, at a position in the control. A double click comes
    // in place of the second press.
    void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DoDblClick(TMouseButton button, TShiftState shift, int x, int y);
    void DoMouseMove(TShiftState shift, int x, int y);

protected:
    // Pointer events in the old platform's terms, for controls built on this one.
    virtual void MouseDown(TMouseButton, TShiftState, int, int) {}
    virtual void MouseMove(TShiftState, int, int) {}
    virtual void MouseUp(TMouseButton, TShiftState, int, int) {}

private:
    void PictureChanged();
    void AdjustSize();
    // The platform's part: repaint, and note whether the picture covers the control.
    void ShowPicture();

    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    bool FAutoSize = false;
    TClickRule FClick;
};

// Pointer capture, one for the whole program as on the old platform: a control holding the
// capture gets the move that leaves it. On Windows it is the system's capture.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// A template only so that it can stand beside a system's own ReleaseCapture() where a back end's
// header declares one in the same file (Windows's): a call there takes the system's, which does
// the same. Each back end defines ReleaseCapture<>().
template <typename = void> void ReleaseCapture();
template <> void ReleaseCapture<>();
