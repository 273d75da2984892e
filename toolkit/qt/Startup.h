#pragma once

#include <QSize>
#include <memory>
#include <optional>

class QLocale;
class QTranslator;

// What the platform needs before and right after the application object is created.

// The scale factor at which a window of `minimum` logical pixels fits into `available` device
// pixels: `current` when it fits; otherwise the largest quarter step that fits, but never below 1,
// where the window keeps the size it was laid out for, even on a smaller screen.
double FittingScale(double current, QSize available, QSize minimum);

// With an application object made: nothing when a window of `minimum` logical pixels fits the
// primary screen at the current scale, else the QT_SCALE_FACTOR at which a new application object
// gets the fitting scale.
std::optional<double> ScaleFactorThatFits(QSize minimum);

// Installs Qt's own translations (the file dialog's buttons and labels) for `locale`; the
// translator stays installed as long as the returned object lives. Null when Qt has none for it.
std::unique_ptr<QTranslator> LoadQtTranslations(const QLocale& locale);
