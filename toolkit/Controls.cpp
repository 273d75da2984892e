#include "toolkit/Controls.h"

#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Font.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// One-pixel frame: `topLeft` colour on the top and left edges, `bottomRight` on the others.
void DrawFrame(QPainter& p, const QRect& r, TColor topLeft, TColor bottomRight) {
    p.setPen(ToQColor(topLeft));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(ToQColor(bottomRight));
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

void DrawBevel(QPainter& p, const QRect& r, TBevelCut cut) {
    if (cut == TBevelCut::Raised)
        DrawFrame(p, r, clBtnHighlight, clBtnShadow);
    else if (cut == TBevelCut::Lowered)
        DrawFrame(p, r, clBtnShadow, clBtnHighlight);
}
} // namespace

TPanel::TPanel(TWinControl* parent) : TControlOf(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetColor(TColor color) {
    FColor = color;
    update();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    FOuter = cut;
    update();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    FInner = cut;
    update();
}

void TPanel::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), ToQColor(FColor));
    QRect r = rect();
    if (FOuter != TBevelCut::None) {
        DrawBevel(p, r, FOuter);
        r.adjust(1, 1, -1, -1);
    }
    DrawBevel(p, r, FInner);
}

TBevel::TBevel(TWinControl* parent) : TControlOf(parent) {}

void TBevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(ToQColor(clBtnShadow));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(ToQColor(clBtnHighlight));
    p.drawLine(0, 1, width() - 1, 1);
}

TLabel::TLabel(TWinControl* parent) : TControlOf(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    setContentsMargins(0, 0, 0, 0);
    setMargin(0);
    setIndent(0);
}

void TLabel::SetCaption(const String& caption) {
    setText(ToQ(caption));
    AutoSize();
}

void TLabel::SetFont(const TFont& font) {
    setFont(ToQFont(font));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(font.Color));
    setPalette(pal);
    AutoSize();
}

void TLabel::AutoSize() {
    const QFontMetrics fm(font());
    resize(fm.horizontalAdvance(text()), fm.height());
}

void TLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FPressed = true;
    QLabel::mousePressEvent(event);
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && OnClick)
        OnClick(this);
}
