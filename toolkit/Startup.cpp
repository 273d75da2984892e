#include "toolkit/Startup.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <vector>

double FittingScale(double current, QSize available, QSize minimum) {
    const auto fits = [&](double scale) {
        return minimum.width() * scale <= available.width() &&
               minimum.height() * scale <= available.height();
    };
    if (fits(current) || current <= 1.0 || minimum.isEmpty())
        return current;
    const double largest = std::min(double(available.width()) / minimum.width(),
                                    double(available.height()) / minimum.height());
    // Quarter steps, as desktops offer them (125 %, 150 % ...).
    return std::clamp(std::floor(largest * 4.0) / 4.0, 1.0, current);
}

void FitScaleToScreen(int argc, char** argv, QSize minimum) {
    double current = 1.0;
    QSize available;
    {
        // The probe may take Qt's own options out of its copy of the arguments.
        std::vector<char*> args(argv, argv + argc);
        args.push_back(nullptr);
        int count = argc;
        QGuiApplication probe(count, args.data());
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        current = screen->devicePixelRatio();
        const QSizeF logical = screen->availableGeometry().size();
        available = QSize(int(std::lround(logical.width() * current)),
                          int(std::lround(logical.height() * current)));
    }
    const double fitting = FittingScale(current, available, minimum);
    if (fitting == current)
        return;
    // The factor multiplies whatever scale the platform itself applies.
    bool ok = false;
    double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || factor <= 0.0)
        factor = 1.0;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(factor * fitting / current));
}

std::unique_ptr<QTranslator> LoadQtTranslations(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}
