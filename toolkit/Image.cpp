#include "toolkit/Image.h"

TImage::~TImage() {
    if (GetCaptureControl() == this)
        ReleaseCapture();
}

void TImage::SetAutoSize(bool on) {
    FAutoSize = on;
    AdjustSize();
}

void TImage::PictureChanged() {
    AdjustSize();
    ShowPicture();
}

void TImage::AdjustSize() {
    if (FAutoSize && !FPicture->Empty())
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
}

void TImage::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::Left)
        SetCaptureControl(this);
    FClick.Press(button);
    MouseDown(button, shift, x, y);
}

void TImage::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::Left && GetCaptureControl() == this)
        ReleaseCapture();
    if (FClick.Release(*this, button, x, y))
        Click();
    MouseUp(button, shift, x, y);
}

void TImage::DoDblClick(TMouseButton button, TShiftState shift, int x, int y) {
    // No click is pending: the double click replaces the second press.
    if (button == TMouseButton::Left) {
        SetCaptureControl(this);
        if (OnDblClick)
            OnDblClick(this);
    }
    MouseDown(button, shift, x, y);
}

void TImage::DoMouseMove(TShiftState shift, int x, int y) {
    MouseMove(shift, x, y);
}
