#include "toolkit/Controls.h"

#include "toolkit/win32/Peer.h"
#include "toolkit/win32/native/Bevel.h"
#include "toolkit/win32/native/Label.h"

namespace {

using namespace win32peer;

win32::Panel::BevelKind Kind(TBevelCut cut) {
    return cut == TBevelCut::Raised    ? win32::Panel::BevelKind::Raised
           : cut == TBevelCut::Lowered ? win32::Panel::BevelKind::Lowered
                                       : win32::Panel::BevelKind::None;
}

// A panel is a child window of its own; its children lie on it.
struct TPanelPeer : TChildWindowPeer {
    TPanelPeer(const TPanel& owner, TWinControl* parent)
        : Owner(owner), Panel(ContainerFor(parent, Host).Handle(), 0, 0, 0, 0) {}

    HWND Window() const override { return Panel.Handle(); }
    // Every change of colour or bevels comes through here.
    void Invalidate() override {
        Panel.SetColor(Owner.Color());
        Panel.SetBevels(Kind(Owner.BevelOuter()), Kind(Owner.BevelInner()));
    }
    void Repaint() override {
        Invalidate();
        RedrawWindow(Panel.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    win32::Panel* Container() const override { return const_cast<win32::Panel*>(&Panel); }

    const TPanel& Owner;
    win32::Panel Panel;
};

// The old platform's fonts on this system: the Linux build names the metric twin of the face the
// window definition asks for.
win32::Font Win32Font(const TFont& font) {
    win32::Font f;
    f.Name = font.Name == "Liberation Sans" ? "Arial" : font.Name;
    f.Height = win32::Scaled(font.Height);
    f.Color = font.Color;
    f.Bold = font.Bold;
    f.Underline = font.Underline;
    return f;
}

// A label keeps its font in the program's pixels, to scale it again.
struct TLabelPeer : TGraphicPeer<win32::Label> {
    using TGraphicPeer::TGraphicPeer;
    void Rescale(const RECT& bounds) override {
        if (Font.Height > 0)
            Control.SetFont(Win32Font(Font));
        SetBounds(bounds);
    }
    TFont Font;
};

TLabelPeer& LabelOf(const TLabel& label) {
    return *static_cast<TLabelPeer*>(label.Handle());
}

} // namespace

TPanel::TPanel(TWinControl* parent) : TWinControl(parent) {
    SetPeer(std::make_unique<TPanelPeer>(*this, parent));
    Invalidate();
}

TBevel::TBevel(TWinControl* parent) : TControl(parent) {
    SetPeer(std::make_unique<TGraphicPeer<win32::Bevel>>(*this, parent));
}

TLabel::TLabel(TWinControl* parent) : TControl(parent) {
    auto peer = std::make_unique<TLabelPeer>(*this, parent);
    peer->Control.SetTransparent(true);
    peer->Control.SetAutoSize(true);
    peer->Control.OnMouseDown = [this](win32::MouseButton button, int, int) {
        DoMouseDown(ToolkitButton(button));
    };
    peer->Control.OnMouseUp = [this](win32::MouseButton button, int x, int y) {
        DoMouseUp(ToolkitButton(button), win32::ProgramPixel(x), win32::ProgramPixel(y));
    };
    SetPeer(std::move(peer));
}

// With its left and top edges fixed, the label takes the size of its caption.
void TLabel::ShowText() {
    TLabelPeer& peer = LabelOf(*this);
    peer.Font = FFont;
    // Until a font is given the label keeps the system's.
    if (FFont.Height > 0)
        peer.Control.SetFont(Win32Font(FFont));
    peer.Control.SetCaption(FCaption);
}
