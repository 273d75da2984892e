#include "toolkit/Form.h"

#include "toolkit/qt/Accessible.h"
#include "toolkit/qt/Convert.h"
#include "toolkit/qt/Font.h"
#include "toolkit/qt/Peer.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <optional>

namespace {
// The old platform's style bits that matter here.
constexpr std::uint32_t WS_POPUP = 0x80000000u;
constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000u;

QRect PrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect();
}
} // namespace

// The main window's Qt window: reports sizes, close requests and drops to the form.
class TFormWidget : public QWidget {
public:
    explicit TFormWidget(TForm& owner) : QWidget(nullptr, Qt::Window), FOwner(owner) {
        setAcceptDrops(true);
        AttachAccessible(owner, *this);
    }

    // The minimum outer size, as a minimum client size for the frame known by now.
    void ApplyMinimumSize() {
        const QSize frameExtra = frameGeometry().size() - geometry().size();
        setMinimumSize((QSize(FOwner.MinimumOuterWidth(), FOwner.MinimumOuterHeight()) - frameExtra)
                           .expandedTo(QSize(0, 0)));
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // Tab and Shift+Tab from any control of the window end here.
    bool focusNextPrevChild(bool next) override {
        FOwner.DoTab(next);
        return true;
    }
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TForm& FOwner;
};

namespace {
TFormWidget* Window(const TForm* form) {
    return static_cast<TFormWidget*>(QtWidget(form));
}
} // namespace

TForm::TForm() : TWinControl(nullptr), FStyle(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN) {
    SetPeer(std::make_unique<Peer>(new TFormWidget(*this)));
}

// Before the window exists the frame is unknown; its outer size is then its client size.
int TForm::OuterLeft() const {
    return Window(this)->frameGeometry().x();
}
int TForm::OuterTop() const {
    return Window(this)->frameGeometry().y();
}
int TForm::OuterWidth() const {
    return Window(this)->frameGeometry().width();
}
int TForm::OuterHeight() const {
    return Window(this)->frameGeometry().height();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    QWidget* w = Window(this);
    const QSize frameExtra = w->frameGeometry().size() - w->geometry().size();
    w->resize(std::max(width, FMinWidth) - frameExtra.width(),
              std::max(height, FMinHeight) - frameExtra.height());
    w->move(left, top);
    // A window whose frame was just made anew may place its client area there instead.
    const QPoint off = w->frameGeometry().topLeft() - QPoint(left, top);
    if (!off.isNull())
        w->move(w->pos() - off);
}

void TForm::SetClientHeight(int height) {
    QWidget* w = Window(this);
    w->resize(w->width(), height);
}

void TForm::ShowMinimumSize() {
    Window(this)->ApplyMinimumSize();
}

void TForm::SetCaption(const String& caption) {
    Window(this)->setWindowTitle(ToQ(caption));
}

void TForm::SetColor(TColor color) {
    QWidget* w = Window(this);
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ToQColor(color));
    w->setPalette(pal);
}

void TForm::SetFont(const TFont& font) {
    Window(this)->setFont(ToQFont(font));
}

void TForm::SetActiveControl(TControl* control) {
    Window(this)->setFocusProxy(QtWidget(control));
}

void TForm::SetBorderStyleNone() {
    SetWindowStyle(WS_POPUP | WS_CLIPCHILDREN);
}

std::uint32_t TForm::WindowStyle() const {
    return FStyle | (Window(this)->isVisible() ? WS_VISIBLE : 0u);
}

void TForm::SetWindowStyle(std::uint32_t style) {
    QWidget* w = Window(this);
    FStyle = style & ~WS_VISIBLE;
    const bool framed = (style & WS_CAPTION) == WS_CAPTION;
    const Qt::WindowFlags flags =
        framed ? Qt::WindowFlags(Qt::Window) : (Qt::Window | Qt::FramelessWindowHint);
    if (bool(w->windowFlags() & Qt::FramelessWindowHint) == !framed)
        return;
    const bool wasVisible = w->isVisible();
    w->setWindowFlags(flags);
    if (wasVisible)
        w->show(); // new window flags hide the window
}

TWindowState TForm::WindowState() const {
    const Qt::WindowStates state = Window(this)->windowState();
    if (state & Qt::WindowMinimized)
        return TWindowState::Minimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return TWindowState::Maximized;
    return TWindowState::Normal;
}

int TForm::ScreenWidth() const {
    return PrimaryScreen().width();
}

int TForm::ScreenHeight() const {
    return PrimaryScreen().height();
}

void TForm::Post(std::function<void()> call) {
    QTimer::singleShot(0, Window(this), std::move(call));
}

void TForm::Close() {
    Window(this)->close();
}

void TForm::ShowWindowState(TWindowState state) {
    QWidget* w = Window(this);
    w->setWindowState(state == TWindowState::Maximized   ? Qt::WindowMaximized
                      : state == TWindowState::Minimized ? Qt::WindowMinimized
                                                         : Qt::WindowNoState);
    if (state == TWindowState::Maximized && !PrimaryScreen().isNull()) {
        // Without a window manager maximising changes nothing: cover the screen ourselves.
        const QRect s = PrimaryScreen();
        w->move(s.topLeft());
        w->resize(s.width(), w->height());
    }
}

void TForm::CenterOnPrimaryScreen() {
    const QRect s = PrimaryScreen();
    if (s.isNull())
        return;
    Window(this)->move(s.x() + std::max(0, (s.width() - OuterWidth()) / 2),
                       s.y() + std::max(0, (s.height() - OuterHeight()) / 2));
}

void TFormWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FOwner.DoResize();
}

bool TFormWidget::event(QEvent* event) {
    // The frame becomes known once the window manager has framed the window.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange)
        ApplyMinimumSize();
    // The active control takes the focus whenever the window is activated, not the control that
    // last had it.
    if (event->type() == QEvent::WindowActivate && focusProxy() != nullptr)
        focusProxy()->setFocus(Qt::ActiveWindowFocusReason);
    return QWidget::event(event);
}

void TFormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    FOwner.DoClose();
}

namespace {
// The first URL of a drag, if it carries any: file managers drag files as URLs.
std::optional<QUrl> DraggedUrl(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return std::nullopt;
    return data->urls().constFirst();
}

// The file is only read: the answer is a copy (or a link), never the move a source may
// propose, which would make a file manager delete its original. Nothing when neither is offered.
bool TakeAsCopy(QDropEvent* event) {
    const Qt::DropActions offered = event->possibleActions();
    const Qt::DropAction taken = (offered & Qt::CopyAction)   ? Qt::CopyAction
                                 : (offered & Qt::LinkAction) ? Qt::LinkAction
                                                              : Qt::IgnoreAction;
    if (taken == Qt::IgnoreAction)
        return false;
    event->setDropAction(taken);
    event->accept();
    return true;
}
} // namespace

// Every drag of a URL is taken, so that its drop always ends in an open or in a box saying why
// not; refusing it here would leave the user with a no-drop cursor and no word.
void TFormWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (FOwner.OnDropFiles && DraggedUrl(event->mimeData()))
        TakeAsCopy(event);
}

void TFormWidget::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> url = DraggedUrl(event->mimeData());
    if (!FOwner.OnDropFiles || !url || !TakeAsCopy(event))
        return;
    // Inside the drop the platform keeps the drag source waiting for whatever the handler does.
    std::vector<String> files;
    if (url->isLocalFile())
        files.push_back(PathFromQ(url->toLocalFile()));
    FOwner.Post([this, files] { FOwner.DoDropFiles(files); });
}
