#pragma once

#include "toolkit/Graphics.h"

class TPanel;

#include <QWidget>
#include <functional>
#include <memory>

// Shows one picture 1:1 at its top-left corner and gives the click rules of the old platform's
// non-windowed controls. Where the picture does not reach the parent's colour shows: painted by
// the control itself on a plain panel, else by the parent.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    // Every change repaints; with AutoSize a non-empty picture also resizes the control.
    TPicture* Picture() { return FPicture.get(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    // Paints at once instead of scheduling.
    void Repaint() { repaint(); }
    // Schedules a paint, which the window does together with its other pending ones.
    void Invalidate() { update(); }

    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender)> OnDblClick;

protected:
    // Pointer events in the old platform's terms, for controls built on this one.
    virtual void MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
    virtual void MouseMove(Qt::KeyboardModifiers, int, int) {}
    virtual void MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PictureChanged();
    void AdjustSize();
    void UpdateOpacity();
    const TPanel* PlainParent() const;

    std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
    bool FAutoSize = false;
    bool FClickPending = false;
};

// Pointer capture, one for the whole program as on the old platform. It only routes our own
// logic: Qt already grabs the pointer while a button is held, and for the hover case a control
// holding the capture gets a leaving move from its leave event.
QWidget* GetCaptureControl();
void SetCaptureControl(QWidget* control);
void ReleaseCapture();
