#include "toolkit/Controls.h"

void TLabel::SetCaption(const String& caption) {
    FCaption = caption;
    ShowText();
}

void TLabel::SetFont(const TFont& font) {
    FFont = font;
    ShowText();
}

void TLabel::DoClick() {
    if (OnClick)
        OnClick(this);
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
