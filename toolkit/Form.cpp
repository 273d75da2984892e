#include "toolkit/Form.h"

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

TForm::TForm(QWidget* parent)
    : QWidget(parent, Qt::Window), TComponent(nullptr),
      FStyle(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN) {
    setAcceptDrops(true);
}

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

void TForm::SetCaption(const String& caption) {
    setWindowTitle(ToQ(caption));
}

void TForm::SetColor(TColor color) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(color));
    setPalette(pal);
}

void TForm::SetFont(const TFont& font) {
    setFont(ToQFont(font));
}

void TForm::SetActiveControl(TControl* control) {
    setFocusProxy(QtWidget(control));
}

void TForm::SetBorderStyleNone() {
    SetWindowStyle(WS_POPUP | WS_CLIPCHILDREN);
}

std::uint32_t TForm::WindowStyle() const {
    return FStyle | (isVisible() ? WS_VISIBLE : 0u);
}

void TForm::SetWindowStyle(std::uint32_t style) {
    FStyle = style & ~WS_VISIBLE;
    const bool framed = (style & WS_CAPTION) == WS_CAPTION;
    const Qt::WindowFlags flags =
        framed ? Qt::WindowFlags(Qt::Window) : (Qt::Window | Qt::FramelessWindowHint);
    if (bool(windowFlags() & Qt::FramelessWindowHint) == !framed)
        return;
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible)
        show(); // new window flags hide the window
}

TWindowState TForm::WindowState() const {
    const Qt::WindowStates state = windowState();
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
    QTimer::singleShot(0, this, std::move(call));
}

void TForm::SetWindowState(TWindowState state) {
    setWindowState(state == TWindowState::Maximized   ? Qt::WindowMaximized
                   : state == TWindowState::Minimized ? Qt::WindowMinimized
                                                      : Qt::WindowNoState);
    if (state == TWindowState::Maximized && !PrimaryScreen().isNull()) {
        // Without a window manager maximising changes nothing: cover the screen ourselves.
        const QRect s = PrimaryScreen();
        move(s.topLeft());
        resize(s.width(), height());
    }
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
void TForm::dragEnterEvent(QDragEnterEvent* event) {
    if (OnDropFiles && DraggedUrl(event->mimeData()))
        TakeAsCopy(event);
}

void TForm::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> url = DraggedUrl(event->mimeData());
    if (!OnDropFiles || !url || !TakeAsCopy(event))
        return;
    // Inside the drop the platform keeps the drag source waiting for whatever the handler does.
    std::vector<String> files;
    if (url->isLocalFile())
        files.push_back(PathFromQ(url->toLocalFile()));
    Post([this, files] {
        if (OnDropFiles)
            OnDropFiles(files);
    });
}
