#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>
#include <functional>

// The 3-D colours of the old platform's controls.
inline const QColor clBtnHighlight{255, 255, 255};
inline const QColor clBtnShadow{160, 160, 160};

enum class TBevelCut { None, Raised, Lowered };

// A plain coloured container with optional 1-pixel outer and inner bevels.
class TPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);
    void SetColor(const QColor& color);
    QColor Color() const { return FColor; }
    void SetBevelOuter(TBevelCut cut);
    void SetBevelInner(TBevelCut cut);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor FColor{Qt::lightGray};
    TBevelCut FOuter = TBevelCut::Raised;
    TBevelCut FInner = TBevelCut::None;
};

// An etched line along the top edge: a shadow row, the highlight row below it, nothing else.
class TBevel : public QWidget {
    Q_OBJECT
public:
    explicit TBevel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A transparent text label that sizes itself to its caption with its left and top edges fixed.
class TLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr);
    void SetCaption(const QString& caption);
    void SetFont(const QFont& font, const QColor& color);

    std::function<void(QObject* sender)> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AutoSize();
    bool FPressed = false;
};
