#pragma once

#include <QSize>
#include <memory>
#include <optional>

class QLocale;
class QTranslator;

// What the platform needs before and right after the application object is created.

// With an application object made: nothing when a window of `minimum` logical pixels fits the
// primary screen at the current scale, else the QT_SCALE_FACTOR at which a new application object
// gets the fitting scale.
std::optional<double> ScaleFactorThatFits(QSize minimum);

// Installs Qt's own translations (the file dialog's buttons and labels) for `locale`; the
// translator stays installed as long as the returned object lives. Null when Qt has none for it.
std::unique_ptr<QTranslator> LoadQtTranslations(const QLocale& locale);
