#pragma once

#include "toolkit/Types.h"

#include <cstddef>
#include <cstdio>
#include <functional>
#include <vector>

class TApplication;

// The program's arguments as the system passed them, the program itself first.
std::vector<String> ProgramArguments(int argc, char** argv);

// The program's entry into the platform: creates the application object for the program at
// `exePath` and runs `body` with it, returning its result. Of `words` (the arguments for the
// window) the first `optionWords` may carry the platform's own options, which it takes out; body
// gets the words that are left. The main window's outer size is at least `minWidth` x
// `minHeight`; the platform makes such a window fit the screen.
using TProgramBody = std::function<int(TApplication& app, const std::vector<String>& words)>;
int StartApplication(const String& exePath, const std::vector<String>& words,
                     std::size_t optionWords, int minWidth, int minHeight,
                     const TProgramBody& body);

// The scale at which a window whose outer size is at least `minWidth` x `minHeight` pixels at
// 100 % fits an area of `availableWidth` x `availableHeight` device pixels: `current` when it
// fits; otherwise the largest quarter step that fits, but never below 1, where the window keeps
// the size it was laid out for, even on a smaller screen.
double FittingScale(double current, int availableWidth, int availableHeight, int minWidth,
                    int minHeight);

// The program's standard output and standard error.
enum class TStandardStream { Output, Error };

// Writes UTF-8 `text` to `stream`; false when it could not be written (a full disk, a closed
// pipe), which a command that only prints must report. Where the system keeps a program with a
// window apart from the prompt that started it, the text still reaches that prompt.
bool WriteStandardStream(TStandardStream stream, const String& text);
// The same for an open stream of the C library, byte for byte: what both back ends do when the
// text goes to a file or a pipe.
bool WriteBytes(std::FILE* file, const String& text);
