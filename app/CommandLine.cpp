#include "app/CommandLine.h"

#include <cstdio>

TCommandLine TCommandLine::Parse(const QStringList& args) {
    TCommandLine result;
    QString openFile;
    bool openIsLast = false;
    // A launcher that has no file to pass leaves "--open" alone: that names no scene.
    const auto open = [&](const QString& file) {
        if (!file.isEmpty()) {
            openFile = file;
            openIsLast = true;
        }
    };
    const auto word = [&](const QString& arg) {
        result.Words << arg;
        if (ExtractFileExt(arg) == QLatin1String(".avi"))
            openIsLast = false;
    };
    bool options = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!options) {
            word(arg);
        } else if (arg == QLatin1String("--")) {
            options = false;
            result.OptionWords = result.Words.size();
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            if (result.Action == TAction::Run)
                result.Action = TAction::Help;
        } else if (arg == QLatin1String("--version")) {
            if (result.Action == TAction::Run)
                result.Action = TAction::Version;
        } else if (arg == QLatin1String("--open")) {
            // The value is taken as it stands, even when it looks like an option.
            if (i + 1 < args.size())
                open(args[++i]);
        } else if (arg.startsWith(QLatin1String("--open="))) {
            open(arg.mid(7));
        } else {
            word(arg);
        }
    }
    if (options)
        result.OptionWords = result.Words.size();
    if (openIsLast)
        result.OpenFile = openFile;
    return result;
}

QString ExtractFileExt(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path[i];
        if (c == QLatin1Char('.'))
            return path.mid(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(':'))
            break;
    }
    return {};
}

QString HelpText(const QString& program) {
    return QStringLiteral(
               "Aufruf: %1 [-vollbild] [SZENE.avi]\n"
               "  oder: %1 [-vollbild] --open DATEI\n"
               "Spielt eine Szene als Endlosschleife ab, Bild für Bild aus dem Speicher.\n"
               "\n"
               "      --open DATEI  DATEI öffnen, gleich welche Endung sie hat\n"
               "  -vollbild         randlos über den ganzen Bildschirm\n"
               "  -h, --help        diese Hilfe zeigen und beenden\n"
               "      --version     die Version zeigen und beenden\n"
               "      --            beendet die Optionen; was folgt, sind Argumente\n"
               "\n"
               "Als Szene zählt ein Argument, das auf \".avi\" (klein geschrieben) endet.\n"
               "Nennt der Aufruf mehrere Szenen, wird die letzte geöffnet. Andere\n"
               "Argumente werden übergangen.\n")
        .arg(program);
}

QString VersionText(const QString& program) {
    return QStringLiteral("%1 %2\n"
                          "Copyright (c) 2026 the Reelstand developers\n"
                          "Lizenz: MIT\n")
        .arg(program, QStringLiteral(REELSTAND_VERSION));
}

bool WriteStandardOutput(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     stdout) == static_cast<std::size_t>(bytes.size());
    return std::fflush(stdout) == 0 && written && std::ferror(stdout) == 0;
}
