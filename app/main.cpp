#include "app/Unit1.h"
#include "toolkit/Application.h"
#include "video/VFW.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    TApplication app(QString::fromLocal8Bit(argv[0]));
    QApplication::setApplicationName(app.Title());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/reelstand.ico")));
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.reelstand.Reelstand"));

    // The video layer lives as long as the main window's module.
    VideoStartup();
    int result = 0;
    {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        TForm1 form(app, args);
        result = app.Run(form);
    }
    VideoShutdown();
    return result;
}
