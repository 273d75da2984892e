#include "toolkit/Controls.h"

#include "toolkit/qt/Accessible.h"
#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Font.h"
#include "toolkit/qt/Peer.h"
#include "toolkit/qt/Pointer.h"

#include <QLabel>
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

// Paints the panel's colour and bevels; the children draw over it.
class TPanelWidget : public QWidget {
public:
    TPanelWidget(TPanel& owner, QWidget* parent) : QWidget(parent), FOwner(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.fillRect(event->rect(), ToQColor(FOwner.Color()));
        QRect r = rect();
        if (FOwner.BevelOuter() != TBevelCut::None) {
            DrawBevel(p, r, FOwner.BevelOuter());
            r.adjust(1, 1, -1, -1);
        }
        DrawBevel(p, r, FOwner.BevelInner());
    }

private:
    TPanel& FOwner;
};
} // namespace

TPanel::TPanel(TWinControl* parent) : TWinControl(parent) {
    SetPeer(std::make_unique<Peer>(new TPanelWidget(*this, QtWidget(parent))));
}

namespace {
class TBevelWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(ToQColor(clBtnShadow));
        p.drawLine(0, 0, width() - 1, 0);
        p.setPen(ToQColor(clBtnHighlight));
        p.drawLine(0, 1, width() - 1, 1);
    }
};

// Transparent, with the hand cursor.
class TLabelWidget : public QLabel {
public:
    TLabelWidget(TLabel& owner, QWidget* parent) : QLabel(parent), FOwner(owner) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAutoFillBackground(false);
        setCursor(Qt::PointingHandCursor);
        setContentsMargins(0, 0, 0, 0);
        setMargin(0);
        setIndent(0);
        AttachAccessible(owner, *this);
    }

protected:
    // Qt keeps sending the pointer to the label that was pressed until the release.
    void mousePressEvent(QMouseEvent* event) override {
        QLabel::mousePressEvent(event);
        FOwner.DoMouseDown(Button(event->button()));
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        const QPoint p = EventPos(event);
        FOwner.DoMouseUp(Button(event->button()), p.x(), p.y());
    }

    // The second press of a double click is no press of a click (Qt's default would make it one).
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

    void keyPressEvent(QKeyEvent* event) override {
        if (!ControlKeyPress(FOwner, event))
            QLabel::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        PaintFocusMark(FOwner, *this);
    }

private:
    TLabel& FOwner;
};
} // namespace

TBevel::TBevel(TWinControl* parent) : TControl(parent) {
    SetPeer(std::make_unique<Peer>(new TBevelWidget(QtWidget(parent))));
}

TLabel::TLabel(TWinControl* parent) : TControl(parent) {
    SetPeer(std::make_unique<Peer>(new TLabelWidget(*this, QtWidget(parent))));
}

// With its left and top edges fixed, the label takes the size of its caption.
void TLabel::ShowText() {
    auto* label = static_cast<QLabel*>(QtWidget(this));
    // Until a font is given the label keeps the one it inherits.
    if (FFont.Height > 0)
        label->setFont(ToQFont(FFont));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ToQColor(FFont.Color));
    label->setPalette(pal);
    label->setText(ToQ(FCaption));
    const QFontMetrics fm(label->font());
    label->resize(fm.horizontalAdvance(label->text()), fm.height());
}
