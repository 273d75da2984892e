#pragma once

#include <QWidget>
#include <functional>

// A top-level window with the old platform's geometry rules: positions and sizes are those of the
// outer frame, the minimum outer size holds on every change of size, and showing the main window
// runs its show handler before it is centred and made visible.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    // The outer frame, caption and borders included (QWidget's width() and height() are the
    // client area's).
    int OuterLeft() const;
    int OuterTop() const;
    int OuterWidth() const;
    int OuterHeight() const;
    void SetBounds(int left, int top, int width, int height);
    void SetClientHeight(int height);
    void SetMinimumOuterSize(int width, int height);

    // Borderless pop-up window: no caption, frame, system menu or boxes.
    void SetBorderStyleNone();

    Qt::WindowStates WindowState() const { return windowState(); }
    void SetWindowState(Qt::WindowStates state);

    // Runs a handler so that an exception leaving it is reported and goes no further.
    using THandlerGuard = std::function<void(const std::function<void()>& handler)>;

    // Brings the main window on screen: first the show handler (which may still change the
    // window's size and state), then, unless maximised or full screen, centring on the primary
    // screen with the size the window has by then, then visible in its current state. The show
    // handler runs inside `guard`, so that a failure there is reported and the window appears.
    void ShowMainForm(const THandlerGuard& guard);

    std::function<void()> OnShow;
    std::function<void()> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

    // Set by the derived window: closing the main window only asks the application to end.
    std::function<void()> OnCloseRequest;

private:
    void ApplyMinimumSize();
    QSize FMinOuter{0, 0};
    bool FShowing = false;
};
