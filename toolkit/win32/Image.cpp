#include "toolkit/Image.h"

#include "toolkit/win32/Peer.h"
#include "toolkit/win32/Pixels.h"
#include "toolkit/win32/native/ImageView.h"

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

TImageView& ViewOf(const TImage& image) {
    return static_cast<TImagePeer*>(image.Handle())->Control;
}

} // namespace

TImage::TImage(TWinControl* parent) : TControl(parent) {
    auto peer = std::make_unique<TImagePeer>(*this, parent);
    TImageView& view = peer->Control;
    view.Owner = this;
    view.SetDpi(win32::ProgramDpi());
    view.OnMouseDown = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoMouseDown(ToolkitButton(b), shift, win32::ProgramPixel(x), win32::ProgramPixel(y));
    };
    view.OnDblClick = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoDblClick(ToolkitButton(b), shift, win32::ProgramPixel(x), win32::ProgramPixel(y));
    };
    view.OnMouseUp = [this](win32::MouseButton b, unsigned shift, int x, int y) {
        DoMouseUp(ToolkitButton(b), shift, win32::ProgramPixel(x), win32::ProgramPixel(y));
    };
    view.OnMouseMove = [this](unsigned shift, int x, int y) {
        DoMouseMove(shift, win32::ProgramPixel(x), win32::ProgramPixel(y));
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
