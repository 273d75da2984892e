#include "toolkit/Application.h"
#include "toolkit/Exception.h"
#include "toolkit/Form.h"

#include "BoxLines.h"
#include "RowName.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// The application's text rules: a text in, the text it gives.
struct TextCase : NamedRow {
    String (*rule)(const String&);
    const char* in;
    const char* out;
};

class TextRule : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextRule, GivesItsText) {
    EXPECT_EQ(GetParam().rule(GetParam().in), GetParam().out);
}

// The title derives from the executable's name.
constexpr auto Title = &TApplication::TitleFromExeName;
INSTANTIATE_TEST_SUITE_P(
    Title, TextRule,
    ::testing::Values(TextCase{"installed", Title, "/usr/bin/reelstand", "reelstand"},
                      TextCase{"mixedCase", Title, "./build/app/ReelStand", "Reelstand"},
                      TextCase{"cutAtFirstDot", Title, "/opt/x.y/REEL.STAND.EXE", "Reel"},
                      TextCase{"dotsInFoldersDoNotCount", Title, "/a.b/player", "player"},
                      TextCase{"nonAsciiLowersToo", Title, "ÜBER", "Über"},
                      TextCase{"oneLetter", Title, "x", "x"},
                      TextCase{"dotFirst", Title, ".hidden", ""}),
    RowName());

// The error box appends a full stop after characters above ".".
constexpr auto Box = &TApplication::ErrorBoxText;
INSTANTIATE_TEST_SUITE_P(
    ErrorBox, TextRule,
    ::testing::Values(TextCase{"letter", Box, "Error en Frameopen", "Error en Frameopen."},
                      TextCase{"bracket", Box, "Fehler beim Öffnen der Datei (Audio)",
                               "Fehler beim Öffnen der Datei (Audio)"},
                      TextCase{"fullStop", Box, "Systemressourcen erschöpft.",
                               "Systemressourcen erschöpft."},
                      TextCase{"empty", Box, "", ""},
                      TextCase{"digit", Box, "Fehler 7", "Fehler 7."},
                      // The last byte of "ß" is above ".".
                      TextCase{"nonAscii", Box, "Größe", "Größe."},
                      TextCase{"dashBelowFullStop", Box, "a-", "a-"},
                      TextCase{"slashAboveFullStop", Box, "a/", "a/."}),
    RowName());

struct Recorder {
    std::vector<String> messages, errors;
    void Attach(TApplication& app) {
        app.MessageBoxHook = [this](const String& t) { messages.push_back(t); };
        app.ErrorBoxHook = [this](const String& t) { errors.push_back(t); };
    }
};

TEST(Guard, ShowsEveryEscapingExceptionAndGoesOn) {
    TApplication app("/usr/bin/reelstand");
    Recorder rec;
    rec.Attach(app);
    int after = 0;
    app.Guard([] { throw Exception("Error n AVIBegin"); });
    app.Guard([] { throw std::runtime_error("bad_alloc-like"); });
    app.Guard([] { throw 42; });
    app.Guard([&] { ++after; });
    EXPECT_EQ(rec.errors,
              (std::vector<String>{"Error n AVIBegin.", "bad_alloc-like.", "Unbekannter Fehler."}));
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(rec.messages.empty());
}

TEST(Guard, NamesOnlyTheFileOfTheHandlerThatReports) {
    TApplication app("/usr/bin/reelstand");
    Recorder rec;
    rec.Attach(app);
    ::testing::internal::CaptureStderr();
    app.Guard([&] {
        app.SetMessageFile("/tmp/a.avi");
        app.MessageBox("BADFORMAT");
        // A handler reached through a yield does not borrow the interrupted one's file...
        app.Guard([] { throw Exception("Unbekannter Fehler"); });
        // ...and leaves it to the interrupted handler.
        throw Exception("Error en Frameopen");
    });
    app.MessageBox("Diese Szene ist nicht vorhanden");
    EXPECT_EQ(
        BoxLines(::testing::internal::GetCapturedStderr()),
        (std::vector<String>{"reelstand: /tmp/a.avi: BADFORMAT", "reelstand: Unbekannter Fehler.",
                             "reelstand: /tmp/a.avi: Error en Frameopen.",
                             "reelstand: Diese Szene ist nicht vorhanden"}));
    EXPECT_EQ(rec.messages, (std::vector<String>{"BADFORMAT", "Diese Szene ist nicht vorhanden"}));
    EXPECT_EQ(rec.errors, (std::vector<String>{"Unbekannter Fehler.", "Error en Frameopen."}));
}

// Control characters of a file name (C0, DEL and the two-byte C1 ones) become "?" in the line, so
// that one box stays one line; other text, UTF-8 included, stays as it is.
TEST(Guard, BoxLineReplacesControlCharacters) {
    TApplication app("/usr/bin/reelstand");
    Recorder rec;
    rec.Attach(app);
    ::testing::internal::CaptureStderr();
    app.Guard([&] {
        app.SetMessageFile("/tmp/a\tb\x7F\xC2\x85\xC3\xA4.avi");
        app.MessageBox("BADFORMAT");
    });
    EXPECT_EQ(BoxLines(::testing::internal::GetCapturedStderr()),
              (std::vector<String>{"reelstand: /tmp/a?b??\xC3\xA4.avi: BADFORMAT"}));
}

TEST(Terminate, IsPostedAndTakenByTheNextLoopThatRuns) {
    TApplication app("reelstand");
    app.Terminate();
    EXPECT_FALSE(app.Terminated()); // only posted
    app.ProcessMessages();          // a yield takes it
    EXPECT_TRUE(app.Terminated());
}

TEST(ProcessMessages, DeliversWhatWasPostedOnce) {
    TApplication app("reelstand");
    TForm form;
    int calls = 0;
    form.Post([&] { ++calls; });
    EXPECT_EQ(calls, 0);
    app.ProcessMessages();
    EXPECT_EQ(calls, 1);
    app.ProcessMessages();
    EXPECT_EQ(calls, 1);
}

} // namespace
