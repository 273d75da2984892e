#include "toolkit/win32/native/Label.h"

#include "toolkit/win32/Text.h"

namespace win32 {

Label::Label(Panel& parent, int left, int top, int width, int height)
    : GraphicControl(parent, left, top, width, height) {
    Cursor = LoadCursorW(nullptr, IDC_HAND);
    SetFont(FFontSpec);
}

Label::~Label() {
    if (FFont)
        DeleteObject(FFont);
}

void Label::SetCaption(const std::string& caption) {
    FCaption = caption;
    Fit();
    Invalidate();
}

void Label::SetFont(const Font& font) {
    FFontSpec = font;
    if (FFont)
        DeleteObject(FFont);
    // A negative height asks for the character height rather than the cell's.
    FFont = CreateFontW(-font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE,
                        font.Underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        Widen(font.Name).c_str());
    Fit();
    Invalidate();
}

void Label::SetColor(Color color) {
    FColor = color;
    Invalidate();
}

void Label::SetTransparent(bool transparent) {
    FTransparent = transparent;
    Invalidate();
}

void Label::SetAutoSize(bool autoSize) {
    FAutoSize = autoSize;
    Fit();
}

SIZE Label::TextSize() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont);
    const std::wstring text = Widen(FCaption);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void Label::Fit() {
    if (!FAutoSize)
        return;
    const SIZE size = TextSize();
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void Label::Paint(HDC dc) {
    if (!FTransparent)
        Fill(dc, 0, 0, Width(), Height(), FColor);
    HGDIOBJ old = SelectObject(dc, FFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(FFontSpec.Color));
    const std::wstring text = Widen(FCaption);
    RECT r{0, 0, Width(), Height()};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void Label::MouseDown(MouseButton button, unsigned, int x, int y) {
    if (button == MouseButton::Left)
        Panel::SetCaptureControl(this);
    if (auto handler = OnMouseDown)
        handler(button, x, y);
}

void Label::MouseUp(MouseButton button, unsigned, int x, int y) {
    if (button == MouseButton::Left && Panel::CaptureControl() == this)
        Panel::SetCaptureControl(nullptr);
    if (auto handler = OnMouseUp)
        handler(button, x, y);
}

} // namespace win32
