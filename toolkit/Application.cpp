#include "toolkit/Application.h"

#include "toolkit/Exception.h"
#include "toolkit/Form.h"
#include "toolkit/Startup.h"
#include "toolkit/SysUtils.h"

#include <utility>

namespace {
// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}
} // namespace

String TApplication::TitleFromExeName(const String& exePath) {
    const std::size_t slash = exePath.find_last_of("/\\");
    String name = slash == String::npos ? exePath : exePath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    if (name.empty())
        return name;
    const std::size_t first =
        std::min(SequenceLength(static_cast<unsigned char>(name[0])), name.size());
    return name.substr(0, first) + AnsiLowerCase(name.substr(first));
}

String TApplication::ErrorBoxText(const String& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

void TApplication::Guard(const std::function<void()>& handler) noexcept {
    String interrupted = std::exchange(FMessageFile, String());
    try {
        handler();
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception("Unbekannter Fehler"));
    }
    FMessageFile = std::move(interrupted);
}

void TApplication::HandleException(const std::exception& e) noexcept {
    try {
        const auto* own = dynamic_cast<const Exception*>(&e);
        ShowErrorBox(own != nullptr ? own->Message() : String(e.what()));
    } catch (...) {
        // Nothing sensible is left to report with; the event loop goes on.
    }
}

void TApplication::MessageBox(const String& text) {
    ShowBox(TBoxKind::Message, text, MessageBoxHook);
}

void TApplication::ShowErrorBox(const String& text) {
    ShowBox(TBoxKind::Error, ErrorBoxText(text), ErrorBoxHook);
}

String TApplication::MessageLine(const String& text) const {
    String line = FTitle + ": ";
    if (!FMessageFile.empty())
        line += FMessageFile + ": ";
    line += text;
    // C0 controls, DEL, and the C1 controls (U+0080 to U+009F, two bytes in UTF-8).
    String safe;
    safe.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) {
            safe += '?';
        } else if (c == 0xC2 && i + 1 < line.size() &&
                   static_cast<unsigned char>(line[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(line[i + 1]) <= 0x9F) {
            safe += '?';
            ++i;
        } else {
            safe += line[i];
        }
    }
    return safe;
}

// A modal box with one OK button that answers Enter and Escape, or the tests' recorder.
void TApplication::ShowBox(TBoxKind kind, const String& text,
                           const std::function<void(const String&)>& hook) {
    // Written before the box blocks, and also for the tests' recorder.
    const String line = MessageLine(text) + '\n';
    WriteStandardStream(TStandardStream::Error, line);
    if (hook) {
        hook(text);
        return;
    }
    RunBox(kind, text);
}

int TApplication::Run(TForm& mainForm) {
    mainForm.ShowMainForm([this](const std::function<void()>& handler) { Guard(handler); });
    // An end request taken before the main loop started (for instance by a yield during a
    // full-screen load) ends the program here.
    if (FTerminated)
        return 0;
    RunLoop();
    return 0;
}
