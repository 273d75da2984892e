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
#include <vector>

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
    const TCommandLine commandLine = TCommandLine::Parse(Arguments(argc, argv));

    // --help and --version print without a window, so they need no display.
    if (commandLine.Action != TCommandLine::TAction::Run) {
        if (WriteStandardOutput(commandLine.Action == TCommandLine::TAction::Help
                                    ? HelpText(program)
                                    : VersionText(program)))
            return 0;
        std::fprintf(stderr, "%s: Schreibfehler\n", program.toLocal8Bit().constData());
        return 1;
    }

    // Qt takes its own options (-platform, -style ...) from the words before "--" only, never
    // from the file of --open.
    std::vector<QByteArray> qtWords;
    for (qsizetype i = 0; i < commandLine.OptionWords; ++i)
        qtWords.push_back(commandLine.Words[i].toLocal8Bit());
    static char fallbackName[] = "reelstand";
    std::vector<char*> qtArgv{argc > 0 ? argv[0] : fallbackName};
    for (QByteArray& word : qtWords)
        qtArgv.push_back(word.data());
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);

    // The main window's minimum outer size must fit the screen at the scale Qt will use.
    FitScaleToScreen(qtArgc, qtArgv.data(), QSize(560, 660));
    QApplication qtApp(qtArgc, qtArgv.data());
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
        // The words Qt left, then those after "--".
        const QStringList words =
            Arguments(qtArgc, qtArgv.data()) + commandLine.Words.mid(commandLine.OptionWords);
        TForm1 form(app, words, commandLine.OpenFile);
        result = app.Run(form);
    }
    VideoShutdown();
    return result;
}
