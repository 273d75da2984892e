#pragma once

#include <QWidget>
#include <functional>

class TApplication;

// A top-level window with the old platform's geometry rules: Left/Top/Width/Height are the outer
// frame, the minimum outer size holds on every change of size, and showing the main window runs
// its show handler before it is centred and made visible.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetClientHeight(int height);
    void SetMinimumOuterSize(int width, int height);

    // Borderless pop-up window: no caption, frame, system menu or boxes.
    void SetBorderStyleNone();

    Qt::WindowStates WindowState() const { return windowState(); }
    void SetWindowState(Qt::WindowStates state);

    // Start-up steps 6 of the main window: the show handler, then centring on the primary screen
    // with the size the window has then, then visible in its current window state. An exception
    // in the show handler is reported and does not stop the window from appearing.
    void ShowMainForm(TApplication& app);

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
