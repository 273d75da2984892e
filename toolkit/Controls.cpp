#include "toolkit/Controls.h"

void TLabel::SetCaption(const String& caption) {
    FCaption = caption;
    ShowText();
    SetAccessibleName(caption);
}

void TLabel::SetFont(const TFont& font) {
    FFont = font;
    ShowText();
}

void TLabel::DoMouseDown(TMouseButton button) {
    FClick.Press(button);
}

void TLabel::DoMouseUp(TMouseButton button, int x, int y) {
    if (FClick.Release(*this, button, x, y))
        Click();
}

void TPanel::SetColor(TColor color) {
    FColor = color;
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    FOuter = cut;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    FInner = cut;
    Invalidate();
}
