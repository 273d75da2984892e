#include "controls/ImgBtn.h"

TImgBtn::TImgBtn(TWinControl* parent) : TImage(parent) {
    FOverPict = std::make_unique<TPicture>();
    FDownPict = std::make_unique<TPicture>();
    FUpPict = std::make_unique<TPicture>();
    FDisPict = std::make_unique<TPicture>();
    Display(FUpPict.get());
    FPressed = false;
    SetEnabled(FEnabled);
}

TImgBtn::~TImgBtn() {
    FOverPict.reset();
    FDownPict.reset();
    FUpPict.reset();
    FDisPict.reset();
}

void TImgBtn::SetEnabled(bool value) {
    Display(value ? FUpPict.get() : FDisPict.get());
    FEnabled = value;
}

void TImgBtn::MouseMove(TShiftState, int x, int y) {
    if (!FEnabled || FPressed)
        return;
    // The right and bottom edges still count as inside here, unlike in the click test.
    if (x < 0 || x > Width() || y < 0 || y > Height()) {
        ReleaseCapture();
        Display(FUpPict.get());
    } else {
        // Holding the capture is what brings the move that leaves the button.
        if (GetCaptureControl() != this)
            SetCaptureControl(this);
        Display(FOverPict.get());
    }
}

void TImgBtn::MouseDown(TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::Left && FEnabled) {
        Display(FDownPict.get());
        FPressed = true;
    }
}

void TImgBtn::MouseUp(TMouseButton button, TShiftState, int, int) {
    if (button == TMouseButton::Left && FEnabled) {
        Display(FUpPict.get());
        SetCaptureControl(nullptr);
    }
    FPressed = false;
}

void TImgBtn::Display(const TPicture* picture) {
    Picture()->Assign(picture);
}
