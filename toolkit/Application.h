#pragma once

#include "toolkit/Types.h"

#include <exception>
#include <functional>
#include <memory>

class TForm;

// The application object: title, the top-level exception handler with its error box, the plain
// message box, yielding to the event loop, and the end request.
class TApplication {
public:
    // `exePath` is the program's path as started (argv[0]); the title derives from it.
    explicit TApplication(const String& exePath);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // File name without folder, cut at the first ".", every character after the first lower-cased.
    static String TitleFromExeName(const String& exePath);
    // The error box's text: a full stop is appended when the message is not empty and its last
    // byte is greater than "." (so letters and digits get one, ")" and "." do not).
    static String ErrorBoxText(const String& message);

    const String& Title() const { return FTitle; }

    // Every handler that the platform calls into the program is entered through here: an
    // exception that leaves the handler is shown in the error box and the event loop goes on.
    // Exceptions must never unwind through the platform's own frames.
    void Guard(const std::function<void()>& handler) noexcept;
    void HandleException(const std::exception& e) noexcept;

    // Modal boxes with one OK button; timer ticks and painting go on while they are open. Each
    // box's text is also written to standard error as one line: "title: file: text".
    void MessageBox(const String& text);
    void ShowErrorBox(const String& text);

    // The file the running handler works on, named in those lines. Every guarded handler starts
    // without one, and the one of a handler it interrupted (by a yield) is restored after it.
    void SetMessageFile(const String& path) { FMessageFile = path; }

    // Process every pending event once (the loader yields through this after each frame).
    void ProcessMessages();

    // Posts the request to end; whichever loop takes it marks the application as ending, and the
    // main loop stops as soon as control returns to it.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Shows the main window (its show handler first), then runs the event loop until the end.
    int Run(TForm& mainForm);

    // Tests replace the boxes with recorders so that nothing blocks.
    std::function<void(const String& text)> MessageBoxHook;
    std::function<void(const String& text)> ErrorBoxHook;

    struct Peer;

private:
    enum class TBoxKind { Message, Error };

    // The line written for a box's text: control characters (a newline in a file name) become
    // "?", so that one message stays one line.
    String MessageLine(const String& text) const;
    void ShowBox(TBoxKind kind, const String& text, const std::function<void(const String&)>& hook);
    // The platform's modal box.
    void RunBox(TBoxKind kind, const String& text);
    // The platform's main loop, until the end request is taken.
    void RunLoop();

    String FTitle;
    String FMessageFile;
    bool FTerminated = false;
    std::unique_ptr<Peer> FPeer;
};
