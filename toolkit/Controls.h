#pragma once

#include "toolkit/Control.h"

#include <QLabel>
#include <functional>

enum class TBevelCut { None, Raised, Lowered };

// A plain coloured container with optional 1-pixel outer and inner bevels.
class TPanel : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TPanel(TWinControl* parent = nullptr);
    void SetColor(TColor color);
    void SetBevelOuter(TBevelCut cut);
    void SetBevelInner(TBevelCut cut);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor FColor = 0xC0C0C0;
    TBevelCut FOuter = TBevelCut::Raised;
    TBevelCut FInner = TBevelCut::None;
};

// An etched line along the top edge: a shadow row, the highlight row below it, nothing else.
class TBevel : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TBevel(TWinControl* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A transparent text label that sizes itself to its caption with its left and top edges fixed.
class TLabel : public TControlOf<QLabel> {
    Q_OBJECT
public:
    explicit TLabel(TWinControl* parent = nullptr);
    void SetCaption(const String& caption);
    // The font's colour is the text's.
    void SetFont(const TFont& font);

    TNotifyEvent OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AutoSize();
    bool FPressed = false;
};
