#pragma once

#include <QSize>
#include <memory>

class QLocale;
class QTranslator;

// What the platform needs before and right after the application object is created.

// The scale factor at which a window of `minimum` logical pixels fits into `available` device
// pixels: `current` when it fits; otherwise the largest quarter step that fits, but never below 1,
// where the window keeps the size it was laid out for, even on a smaller screen.
double FittingScale(double current, QSize available, QSize minimum);

// Qt reads its scale factor once, when the application object is created. This measures the
// primary screen with a first, short-lived application object and, when a window of `minimum`
// logical pixels would not fit at the current scale, sets QT_SCALE_FACTOR so that the real
// application object gets the fitting scale. `argc` and `argv` stay as they are.
void FitScaleToScreen(int argc, char** argv, QSize minimum);

// Installs Qt's own translations (the file dialog's buttons and labels) for `locale`; the
// translator stays installed as long as the returned object lives. Null when Qt has none for it.
std::unique_ptr<QTranslator> LoadQtTranslations(const QLocale& locale);
