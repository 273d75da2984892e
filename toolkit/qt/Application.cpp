#include "toolkit/Application.h"

#include "toolkit/qt/Convert.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

namespace {
const QEvent::Type TerminateEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Word-wraps the text to at most half the screen's width and centres the box on the screen.
void ExecBox(QMessageBox& box) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setMaximumWidth(screen->geometry().width() / 2);
        box.adjustSize();
        box.move(screen->geometry().center() - box.rect().center());
    }
    box.exec();
}
} // namespace

// Takes the posted end request in whichever loop runs next.
struct TApplication::Peer : QObject {
    explicit Peer(TApplication& app) : App(app) {}
    bool event(QEvent* e) override {
        if (e->type() != TerminateEvent)
            return QObject::event(e);
        App.FTerminated = true;
        QCoreApplication::exit(0);
        return true;
    }
    TApplication& App;
};

TApplication::TApplication(const String& exePath)
    : FTitle(TitleFromExeName(exePath)), FPeer(std::make_unique<Peer>(*this)) {}

TApplication::~TApplication() = default;

void TApplication::RunBox(TBoxKind kind, const String& text) {
    QMessageBox box(kind == TBoxKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    ToQ(FTitle), ToQ(text), QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    ExecBox(box);
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate() {
    QCoreApplication::postEvent(FPeer.get(), new QEvent(TerminateEvent));
}

void TApplication::RunLoop() {
    QCoreApplication::exec();
}
