#include "app/CommandLine.h"
#include "app/Unit1.h"
#include "toolkit/Application.h"
#include "toolkit/Startup.h"
#include "video/VFW.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace {
QStringList Arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}
} // namespace

int main(int argc, char** argv) {
    const QString exePath = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString();
    const QString program = TApplication::TitleFromExeName(exePath);

    // --help and --version print without a window, so they need no display.
    const TCommandLine::TAction action = TCommandLine::Parse(Arguments(argc, argv)).Action;
    if (action != TCommandLine::TAction::Run) {
        if (WriteStandardOutput(action == TCommandLine::TAction::Help ? HelpText(program)
                                                                      : VersionText(program)))
            return 0;
        std::fprintf(stderr, "%s: Schreibfehler\n", program.toLocal8Bit().constData());
        return 1;
    }

    // The main window's minimum outer size must fit the screen at the scale Qt will use.
    FitScaleToScreen(argc, argv, QSize(560, 660));
    QApplication qtApp(argc, argv);
    // Qt's own texts (the file dialog) in the user's language; the program's own stay German.
    const std::unique_ptr<QTranslator> qtTexts = LoadQtTranslations(QLocale::system());
    TApplication app(exePath);
    QApplication::setApplicationName(app.Title());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/reelstand.ico")));
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.reelstand.Reelstand"));

    // The video layer lives as long as the main window's module.
    VideoStartup();
    int result = 0;
    {
        // What Qt left of the arguments once it took its own options.
        const TCommandLine commandLine = TCommandLine::Parse(Arguments(argc, argv));
        TForm1 form(app, commandLine.Words, commandLine.OpenFile);
        result = app.Run(form);
    }
    VideoShutdown();
    return result;
}
