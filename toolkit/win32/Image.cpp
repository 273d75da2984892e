#include "toolkit/Image.h"

#include "toolkit/win32/Peers.h"
#include "toolkit/win32/Pixels.h"

#include <cstdint>

namespace {

using namespace win32peer;

// The picture control on its panel, knowing its owner for the capture.
struct TImageView : win32::ImageView {
    using win32::ImageView::ImageView;
    TImage* Owner = nullptr;
};

struct TImagePeer : TGraphicPeer<TImageView> {
    using TGraphicPeer::TGraphicPeer;
    void Rescale(const RECT& bounds) override {
        Control.SetDpi(win32::ProgramDpi());
        SetBounds(bounds);
    }
};

TMouseButton Button(win32::MouseButton button) {
    return button == win32::MouseButton::Left    ? TMouseButton::Left
           : button == win32::MouseButton::Right ? TMouseButton::Right
                                                 : TMouseButton::Middle;
}

// The panel reports positions in the monitor's pixels; a position inside a scaled pixel lies in
// the program's pixel it shows, and one left of or above the control stays outside.
int ProgramPixel(int value) {
    const std::int64_t scaled = std::int64_t{value} * USER_DEFAULT_SCREEN_DPI;
    const int dpi = win32::ProgramDpi();
    return static_cast<int>(scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi));
}

TImageView& ViewOf(const TImage& image) {
    return static_cast<TImagePeer*>(image.Handle())->Control;
}

} // namespace

TImage::TImage(TWinControl* parent) : TControl(parent) {
    auto peer = std::make_unique<TImagePeer>(parent);
    TImageView& view = peer->Control;
    view.Owner = this;
    view.SetDpi(win32::ProgramDpi());
    view.OnMouseDown = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoMouseDown(Button(b), shift, ProgramPixel(x), ProgramPixel(y));
    };
    view.OnDblClick = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoDblClick(Button(b), shift, ProgramPixel(x), ProgramPixel(y));
    };
    view.OnMouseUp = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoMouseUp(Button(b), shift, ProgramPixel(x), ProgramPixel(y));
    };
    view.OnMouseMove = [this](unsigned shift, int x, int y) {
        DoMouseMove(shift, ProgramPixel(x), ProgramPixel(y));
    };
    SetPeer(std::move(peer));
    FPicture->OnChange = [this] { PictureChanged(); };
}

void TImage::ShowPicture() {
    // Painting reads the bitmap's pixels directly, 1:1 or scaled to the monitor.
    const TBitmap& bitmap = *FPicture->Bitmap();
    ViewOf(*this).SetPixels(BitmapBits(bitmap), bitmap.Width(), bitmap.Height());
}

TControl* GetCaptureControl() {
    auto* view = dynamic_cast<TImageView*>(win32::Panel::CaptureControl());
    // The panel forgets a capture that the system took elsewhere (a box, another window).
    return view != nullptr && GetCapture() == view->Parent().Handle() ? view->Owner : nullptr;
}

template <> void ReleaseCapture<>() {
    ::ReleaseCapture(); // the system's
}

void SetCaptureControl(TControl* control) {
    if (control == nullptr) {
        win32::Panel::SetCaptureControl(nullptr);
        return;
    }
    if (auto* peer = dynamic_cast<TImagePeer*>(control->Handle())) {
        win32::Panel::SetCaptureControl(&peer->Control);
        return;
    }
    if (HWND window = Win32Window(control))
        SetCapture(window);
}
