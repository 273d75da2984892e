#pragma once

#include "toolkit/Control.h"

#include <functional>

enum class TBevelCut { None, Raised, Lowered };

// A plain coloured container with optional 1-pixel outer and inner bevels.
class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl* parent = nullptr);
    TColor Color() const { return FColor; }
    TBevelCut BevelOuter() const { return FOuter; }
    TBevelCut BevelInner() const { return FInner; }
    void SetColor(TColor color);
    void SetBevelOuter(TBevelCut cut);
    void SetBevelInner(TBevelCut cut);

private:
    TColor FColor = 0xC0C0C0;
    TBevelCut FOuter = TBevelCut::Raised;
    TBevelCut FInner = TBevelCut::None;
};

// An etched line along the top edge: a shadow row, the highlight row below it, nothing else.
class TBevel : public TControl {
public:
    explicit TBevel(TWinControl* parent = nullptr);
};

// A transparent text label that sizes itself to its caption with its left and top edges fixed. Its
// caption is its name to assistive technology.
class TLabel : public TControl {
public:
    explicit TLabel(TWinControl* parent = nullptr);
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& caption);
    // The font's colour is the text's.
    void SetFont(const TFont& font);

    // The platform reports the pointer's buttons here, at a position in the label; a release
    // comes here wherever it happens after a press on the label. The second press of a double
    // click is not reported.
    void DoMouseDown(TMouseButton button);
    void DoMouseUp(TMouseButton button, int x, int y);

private:
    // The platform's part: show the caption in the font, sized to fit.
    void ShowText();

    String FCaption;
    TFont FFont;
    TClickRule FClick;
};
