#include "toolkit/Application.h"

#include "toolkit/Exception.h"
#include "toolkit/Form.h"
#include "toolkit/qt/Convert.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <utility>

namespace {
const QEvent::Type TerminateEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Word-wraps the text to at most half the screen's width and centres the box on the screen.
void RunBox(QMessageBox& box) {
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

TApplication::TApplication(const String& exePath, QObject* parent)
    : QObject(parent), FTitle(TitleFromExeName(exePath)) {}

String TApplication::TitleFromExeName(const String& exePath) {
    QString name = QFileInfo(PathToQ(exePath)).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return FromQ(name);
}

String TApplication::ErrorBoxText(const String& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

void TApplication::Guard(const std::function<void()>& handler) noexcept {
    String interrupted = std::exchange(FMessageFile, String());
    try {
        handler();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception("Unbekannter Fehler"));
    }
    FMessageFile = std::move(interrupted);
}

void TApplication::HandleException(const std::exception& e) noexcept {
    try {
        const auto* own = dynamic_cast<const Exception*>(&e);
        ShowErrorBox(own != nullptr ? own->Message() : String(e.what()));
    } catch (...) {
        // Nothing sensible is left to report with; the event loop goes on.
    }
}

void TApplication::MessageBox(const String& text) {
    ShowBox(QMessageBox::NoIcon, text, MessageBoxHook);
}

void TApplication::ShowErrorBox(const String& text) {
    ShowBox(QMessageBox::Critical, ErrorBoxText(text), ErrorBoxHook);
}

String TApplication::MessageLine(const String& text) const {
    QString line = ToQ(FTitle) + QStringLiteral(": ");
    if (!FMessageFile.empty())
        line += PathToQ(FMessageFile) + QStringLiteral(": ");
    line += ToQ(text);
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return FromQ(line);
}

// A modal box with one OK button that answers Enter and Escape, or the tests' recorder.
void TApplication::ShowBox(int icon, const String& text,
                           const std::function<void(const String&)>& hook) {
    // Written before the box blocks, and also for the tests' recorder.
    const QByteArray line = (ToQ(MessageLine(text)) + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
    if (hook) {
        hook(text);
        return;
    }
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), ToQ(FTitle), ToQ(text), QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    RunBox(box);
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate() {
    QCoreApplication::postEvent(this, new QEvent(TerminateEvent));
}

bool TApplication::event(QEvent* e) {
    if (e->type() == TerminateEvent) {
        FTerminated = true;
        QCoreApplication::exit(0);
        return true;
    }
    return QObject::event(e);
}

int TApplication::Run(TForm& mainForm) {
    mainForm.ShowMainForm([this](const std::function<void()>& handler) { Guard(handler); });
    // An end request taken before the main loop started (for instance by a yield during a
    // full-screen load) ends the program here.
    if (FTerminated)
        return 0;
    QCoreApplication::exec();
    return 0;
}
