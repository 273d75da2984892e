#include "app/CommandLine.h"

#include "toolkit/SysUtils.h"

#include <algorithm>

namespace {
// Every "%1" of `text` replaced by `value`.
String Substitute(String text, const String& value) {
    for (std::size_t at = text.find("%1"); at != String::npos; at = text.find("%1", at)) {
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}
} // namespace

TCommandLine TCommandLine::Parse(const std::vector<String>& args) {
    TCommandLine result;
    String openFile;
    bool openIsLast = false;
    // A launcher that has no file to pass leaves "--open" alone: that names no scene.
    const auto open = [&](const String& file) {
        if (!file.empty()) {
            openFile = file;
            openIsLast = true;
        }
    };
    const auto word = [&](const String& arg) {
        result.Words.push_back(arg);
        if (IsSceneArgument(arg))
            openIsLast = false;
    };
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const String& arg = args[i];
        if (!options) {
            word(arg);
        } else if (arg == "--") {
            options = false;
            result.OptionWords = result.Words.size();
        } else if (arg == "-h" || arg == "--help") {
            if (result.Action == TAction::Run)
                result.Action = TAction::Help;
        } else if (arg == "--version") {
            if (result.Action == TAction::Run)
                result.Action = TAction::Version;
        } else if (arg == "--open") {
            // The value is taken as it stands, even when it looks like an option.
            if (i + 1 < args.size())
                open(args[++i]);
        } else if (arg.rfind("--open=", 0) == 0) {
            open(arg.substr(7));
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

// The delimiters are ASCII, so they never occur inside a UTF-8 sequence.
String ExtractFileExt(const String& path) {
    const std::size_t at = path.find_last_of(".\\:");
    if (at == String::npos || path[at] != '.')
        return {};
    return path.substr(at);
}

bool IsSceneArgument(const String& arg) {
    const String ext = ExtractFileExt(arg);
    if (SameFileName(ext, ".avi"))
        return true;
    // The containers the packages offer the program for.
    static const char* const kVideoFiles[] = {".avi", ".mp4", ".m4v",  ".mov",
                                              ".3gp", ".mkv", ".webm", ".wmv"};
    const String lower = AnsiLowerCase(ext);
    return std::find(std::begin(kVideoFiles), std::end(kVideoFiles), lower) !=
               std::end(kVideoFiles) &&
           FileExists(arg);
}

String HelpText(const String& program) {
    return Substitute("Aufruf: %1 [-vollbild] [SZENE.avi]\n"
                      "  oder: %1 [-vollbild] --open DATEI\n"
                      "Spielt eine Szene als Endlosschleife ab, Bild für Bild aus dem Speicher.\n"
                      "\n"
                      "      --open DATEI  DATEI öffnen, gleich welche Endung sie hat\n"
                      "  -vollbild         randlos über den ganzen Bildschirm\n"
                      "  -h, --help        diese Hilfe zeigen und beenden\n"
                      "      --version     die Version zeigen und beenden\n"
                      "      --            beendet die Optionen; was folgt, sind Argumente\n"
                      "\n"
                      "Als Szene zählt ein Argument, das auf \".avi\" endet (unter Linux nur\n"
                      "klein geschrieben), und jede vorhandene Videodatei (.avi, .mp4, .m4v,\n"
                      ".mov, .3gp, .mkv, .webm, .wmv, die Endung groß oder klein). Nennt der\n"
                      "Aufruf mehrere Szenen, wird die letzte geöffnet. Andere Argumente werden\n"
                      "übergangen.\n",
                      program);
}

String VersionText(const String& program) {
    return program + " " REELSTAND_VERSION "\n"
                     "Copyright (c) 2026 the Reelstand developers\n"
                     "Lizenz: MIT\n";
}
