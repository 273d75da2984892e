#include "toolkit/Controls.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// One-pixel frame: `topLeft` colour on the top and left edges, `bottomRight` on the others.
void DrawFrame(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
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

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetColor(const QColor& color) {
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
    p.fillRect(event->rect(), FColor);
    QRect r = rect();
    if (FOuter != TBevelCut::None) {
        DrawBevel(p, r, FOuter);
        r.adjust(1, 1, -1, -1);
    }
    DrawBevel(p, r, FInner);
}

TBevel::TBevel(QWidget* parent) : QWidget(parent) {}

void TBevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(clBtnShadow);
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(clBtnHighlight);
    p.drawLine(0, 1, width() - 1, 1);
}

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setCursor(Qt::PointingHandCursor);
    setContentsMargins(0, 0, 0, 0);
    setMargin(0);
    setIndent(0);
}

void TLabel::SetCaption(const QString& caption) {
    setText(caption);
    AutoSize();
}

void TLabel::SetFont(const QFont& font, const QColor& color) {
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
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
