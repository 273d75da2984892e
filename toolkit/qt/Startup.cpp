#include "toolkit/qt/Startup.h"

#include "toolkit/Startup.h"

#include "toolkit/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

std::optional<double> ScaleFactorThatFits(QSize minimum) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return std::nullopt;
    const double current = screen->devicePixelRatio();
    const QSizeF logical = screen->availableGeometry().size();
    const QSize available(int(std::lround(logical.width() * current)),
                          int(std::lround(logical.height() * current)));
    const double fitting = FittingScale(current, available.width(), available.height(),
                                        minimum.width(), minimum.height());
    if (fitting == current)
        return std::nullopt;
    // The factor multiplies whatever scale the platform itself applies.
    bool ok = false;
    double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || factor <= 0.0)
        factor = 1.0;
    return factor * fitting / current;
}

std::unique_ptr<QTranslator> LoadQtTranslations(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

bool WriteStandardStream(TStandardStream stream, const String& text) {
    return WriteBytes(stream == TStandardStream::Output ? stdout : stderr, text);
}

std::vector<String> ProgramArguments(int argc, char** argv) {
    return std::vector<String>(argv, argv + argc);
}

int StartApplication(const String& exePath, const std::vector<String>& words,
                     std::size_t optionWords, int minWidth, int minHeight,
                     const TProgramBody& body) {
    // Qt takes its own options (-platform, -style ...) from the option words only.
    std::vector<QByteArray> qtWords;
    qtWords.push_back(exePath.empty() ? QByteArray("reelstand")
                                      : QByteArray::fromStdString(exePath));
    for (std::size_t i = 0; i < optionWords && i < words.size(); ++i)
        qtWords.push_back(QByteArray::fromStdString(words[i]));
    std::vector<char*> qtArgv;
    for (QByteArray& word : qtWords)
        qtArgv.push_back(word.data());
    qtArgv.push_back(nullptr);
    // Qt takes its options out of the array it is given: a second application object needs the
    // words as they were.
    const std::vector<char*> pristine = qtArgv;
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;

    // The main window's minimum outer size must fit the screen. Qt reads its scale factor only
    // when the application object is made, so in the rare case that it does not fit, the object
    // is made again with a factor that does.
    auto qtApp = std::make_unique<QApplication>(qtArgc, qtArgv.data());
    if (const auto factor = ScaleFactorThatFits(QSize(minWidth, minHeight))) {
        qtApp.reset();
        qputenv("QT_SCALE_FACTOR", QByteArray::number(*factor));
        qtArgv = pristine;
        qtArgc = static_cast<int>(qtArgv.size()) - 1;
        qtApp = std::make_unique<QApplication>(qtArgc, qtArgv.data());
    }
    // Qt's own texts (the file dialog) in the user's language; the program's own stay German.
    const std::unique_ptr<QTranslator> qtTexts = LoadQtTranslations(QLocale::system());
    TApplication app(exePath);
    QApplication::setApplicationName(QString::fromStdString(app.Title()));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/reelstand.ico")));
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.reelstand.Reelstand"));

    // The words Qt left, then those after the option words.
    std::vector<String> left;
    for (int i = 1; i < qtArgc; ++i)
        left.emplace_back(qtArgv[static_cast<std::size_t>(i)]);
    for (std::size_t i = optionWords; i < words.size(); ++i)
        left.push_back(words[i]);
    return body(app, left);
}
