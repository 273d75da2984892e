#include "toolkit/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {}

// Before the window exists the frame is unknown; its outer size is then its client size.
int TForm::OuterLeft() const {
    return frameGeometry().x();
}
int TForm::OuterTop() const {
    return frameGeometry().y();
}
int TForm::OuterWidth() const {
    return frameGeometry().width();
}
int TForm::OuterHeight() const {
    return frameGeometry().height();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    resize(std::max(width, FMinOuter.width()) - frameExtra.width(),
           std::max(height, FMinOuter.height()) - frameExtra.height());
    move(left, top);
    // A window whose frame was just made anew may place its client area there instead.
    const QPoint off = frameGeometry().topLeft() - QPoint(left, top);
    if (!off.isNull())
        move(pos() - off);
}

void TForm::SetClientHeight(int height) {
    resize(width(), height);
}

void TForm::SetMinimumOuterSize(int width, int height) {
    FMinOuter = QSize(width, height);
    ApplyMinimumSize();
}

void TForm::ApplyMinimumSize() {
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    setMinimumSize((FMinOuter - frameExtra).expandedTo(QSize(0, 0)));
}

void TForm::SetBorderStyleNone() {
    const bool wasVisible = isVisible();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    if (wasVisible)
        show();
}

void TForm::SetWindowState(Qt::WindowStates state) {
    setWindowState(state);
    // Already counts as shown once the main window is being shown: a state change then shows it.
    if (FShowing && !isVisible())
        setVisible(true);
}

void TForm::ShowMainForm(const THandlerGuard& guard) {
    FShowing = true;
    if (OnShow)
        guard(OnShow);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect s = screen->geometry();
            move(s.x() + std::max(0, (s.width() - OuterWidth()) / 2),
                 s.y() + std::max(0, (s.height() - OuterHeight()) / 2));
        }
    }
    setVisible(true);
}

void TForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (OnResize)
        OnResize();
}

bool TForm::event(QEvent* event) {
    // The frame becomes known once the window manager has framed the window.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange)
        ApplyMinimumSize();
    return QWidget::event(event);
}

void TForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (OnCloseRequest)
        OnCloseRequest();
}
