#pragma once

#include "toolkit/Types.h"

#include <cstddef>
#include <vector>

// The program's own options, read before the window exists:
//   --open FILE, --open=FILE   a scene opened whatever its name, like a choice in the dialog
//   -h, --help, --version      print to standard output and end
//   --                         ends these options
// Every other argument is a word for the window's argument walks ("-vollbild", scene.avi), which
// ignore what they do not know, as they always did.
class TCommandLine {
public:
    enum class TAction { Run, Help, Version };

    // `args` are the arguments 1 ... N, without the program itself.
    static TCommandLine Parse(const std::vector<String>& args);

    // The first of --help and --version decides; Run when neither is given.
    TAction Action = TAction::Run;
    // The arguments for the window's walks, in their order, without the options above.
    std::vector<String> Words;
    // How many of Words came before "--": only these may carry the platform's own options.
    std::size_t OptionWords = 0;
    // The file of the last --open, when no scene argument follows it (the last scene named
    // wins); empty otherwise. --open without a file, or with an empty one, names none.
    String OpenFile;
};

// A scene argument's extension: the text from the last "." to the end, where "\" and ":" also
// end the search (the old platform's delimiters) and "/" does not.
String ExtractFileExt(const String& path);

// Whether a bare argument names a scene to open at start: one ending in ".avi" (in any case on
// a system whose file names ignore case), or an existing file with the extension of a video
// file the program opens, in any case, which is what a file manager passes for a file dropped
// on the program's icon.
bool IsSceneArgument(const String& arg);

// What --help and --version print; `program` is the name the messages use.
String HelpText(const String& program);
String VersionText(const String& program);
