#include "app/CommandLine.h"
#include "app/Unit1.h"
#include "toolkit/Application.h"
#include "toolkit/Startup.h"
#include "video/VFW.h"

#include <vector>

int main(int argc, char** argv) {
    const std::vector<String> arguments = ProgramArguments(argc, argv);
    const String exePath = arguments.empty() ? String() : arguments.front();
    const String program = TApplication::TitleFromExeName(exePath);
    const TCommandLine commandLine = TCommandLine::Parse(
        std::vector<String>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));

    // --help and --version print without a window, so they need no display.
    if (commandLine.Action != TCommandLine::TAction::Run) {
        if (WriteStandardStream(TStandardStream::Output,
                                commandLine.Action == TCommandLine::TAction::Help
                                    ? HelpText(program)
                                    : VersionText(program)))
            return 0;
        WriteStandardStream(TStandardStream::Error, program + ": Schreibfehler\n");
        return 1;
    }

    // The platform's own options come from the words before "--" only, never from the file of
    // --open.
    return StartApplication(exePath, commandLine.Words, commandLine.OptionWords, 560, 660,
                            [&](TApplication& app, const std::vector<String>& words) {
                                // The video layer lives as long as the main window's module.
                                VideoStartup();
                                int result = 0;
                                {
                                    TForm1 form(app, words, commandLine.OpenFile);
                                    result = app.Run(form);
                                }
                                VideoShutdown();
                                return result;
                            });
}
