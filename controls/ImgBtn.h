#pragma once

#include "toolkit/Image.h"

#include <memory>

// A button drawn entirely from pictures: one of four, chosen by the pointer and the enabled flag.
class TImgBtn : public TImage {
public:
    explicit TImgBtn(TWinControl* parent = nullptr);
    ~TImgBtn() override;

    TPicture* OverPict() { return FOverPict.get(); }
    TPicture* DownPict() { return FDownPict.get(); }
    TPicture* UpPict() { return FUpPict.get(); }
    TPicture* DisPict() { return FDisPict.get(); }
    // The setters copy the content into the button's own picture and leave the display alone.
    void SetOverPict(const TPicture* value) { FOverPict->Assign(value); }
    void SetDownPict(const TPicture* value) { FDownPict->Assign(value); }
    void SetUpPict(const TPicture* value) { FUpPict->Assign(value); }
    void SetDisPict(const TPicture* value) { FDisPict->Assign(value); }

    bool Enabled() const { return FEnabled; }
    // Switches the pictures only: clicks still arrive when false.
    void SetEnabled(bool value);
    bool Pressed() const { return FPressed; }

protected:
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void Display(const TPicture* picture);

    std::unique_ptr<TPicture> FOverPict;
    std::unique_ptr<TPicture> FDownPict;
    std::unique_ptr<TPicture> FUpPict;
    std::unique_ptr<TPicture> FDisPict;
    bool FEnabled = false;
    bool FPressed = false;
};
