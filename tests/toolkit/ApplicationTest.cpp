#include "toolkit/Application.h"
#include "toolkit/Exception.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct TitleCase {
    const char* exePath;
    const char* title;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << c.exePath;
}

class TitleRule : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleRule, DerivesFromExecutableName) {
    EXPECT_EQ(TApplication::TitleFromExeName(QString::fromUtf8(GetParam().exePath)),
              QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Table, TitleRule,
                         ::testing::Values(TitleCase{"/usr/bin/reelstand", "reelstand"},
                                           TitleCase{"./build/app/ReelStand", "Reelstand"},
                                           TitleCase{"/opt/x.y/REEL.STAND.EXE", "Reel"},
                                           TitleCase{"/a.b/player",
                                                     "player"}, // dots in folders do not count
                                           TitleCase{"ÜBER", "Über"}, // non-ASCII letters lower too
                                           TitleCase{"x", "x"}, TitleCase{".hidden", ""}));

struct BoxTextCase {
    const char* message;
    const char* shown;
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const BoxTextCase& c, std::ostream* os) {
    *os << '"' << c.message << '"';
}

class ErrorBoxText : public ::testing::TestWithParam<BoxTextCase> {};

TEST_P(ErrorBoxText, AppendsFullStopAfterHighCharacters) {
    EXPECT_EQ(TApplication::ErrorBoxText(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorBoxText,
    ::testing::Values(BoxTextCase{"Error en Frameopen", "Error en Frameopen."},
                      BoxTextCase{"Fehler beim Öffnen der Datei (Audio)",
                                  "Fehler beim Öffnen der Datei (Audio)"},
                      BoxTextCase{"Systemressourcen erschöpft.", "Systemressourcen erschöpft."},
                      BoxTextCase{"", ""}, BoxTextCase{"Fehler 7", "Fehler 7."},
                      BoxTextCase{"Größe", "Größe."}, // last byte of "ß" is above "."
                      BoxTextCase{"a-", "a-"}, BoxTextCase{"a/", "a/."}));

struct Recorder {
    QStringList messages, errors;
    void Attach(TApplication& app) {
        app.MessageBoxHook = [this](const QString& t) { messages << t; };
        app.ErrorBoxHook = [this](const QString& t) { errors << t; };
    }
};

TEST(Guard, ShowsEveryEscapingExceptionAndGoesOn) {
    TApplication app(QStringLiteral("/usr/bin/reelstand"));
    Recorder rec;
    rec.Attach(app);
    int after = 0;
    app.Guard([] { throw Exception(QStringLiteral("Error n AVIBegin")); });
    app.Guard([] { throw std::runtime_error("bad_alloc-like"); });
    app.Guard([] { throw 42; });
    app.Guard([&] { ++after; });
    EXPECT_EQ(rec.errors,
              (QStringList{QStringLiteral("Error n AVIBegin."), QStringLiteral("bad_alloc-like."),
                           QStringLiteral("Unbekannter Fehler.")}));
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(rec.messages.isEmpty());
}

TEST(Guard, NamesOnlyTheFileOfTheHandlerThatReports) {
    TApplication app(QStringLiteral("/usr/bin/reelstand"));
    Recorder rec;
    rec.Attach(app);
    ::testing::internal::CaptureStderr();
    app.Guard([&] {
        app.SetMessageFile(QStringLiteral("/tmp/a.avi"));
        app.MessageBox(QStringLiteral("BADFORMAT"));
        // A handler reached through a yield does not borrow the interrupted one's file...
        app.Guard([] { throw Exception(QStringLiteral("Unbekannter Fehler")); });
        // ...and leaves it to the interrupted handler.
        throw Exception(QStringLiteral("Error en Frameopen"));
    });
    app.MessageBox(QStringLiteral("Diese Szene ist nicht vorhanden"));
    QStringList lines;
    for (const QString& line : QString::fromLocal8Bit(::testing::internal::GetCapturedStderr())
                                   .split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("reelstand: "))) // Qt may write there too
            lines << line;
    }
    EXPECT_EQ(lines,
              (QStringList{"reelstand: /tmp/a.avi: BADFORMAT", "reelstand: Unbekannter Fehler.",
                           "reelstand: /tmp/a.avi: Error en Frameopen.",
                           "reelstand: Diese Szene ist nicht vorhanden"}));
    EXPECT_EQ(rec.messages, (QStringList{"BADFORMAT", "Diese Szene ist nicht vorhanden"}));
    EXPECT_EQ(rec.errors, (QStringList{"Unbekannter Fehler.", "Error en Frameopen."}));
}

TEST(Terminate, IsPostedAndTakenByTheNextLoopThatRuns) {
    TApplication app(QStringLiteral("reelstand"));
    app.Terminate();
    EXPECT_FALSE(app.Terminated()); // only posted
    app.ProcessMessages();          // a yield takes it
    EXPECT_TRUE(app.Terminated());
}

TEST(ProcessMessages, DeliversPendingEventsOnce) {
    TApplication app(QStringLiteral("reelstand"));
    int fired = 0;
    QTimer::singleShot(0, &app, [&] { ++fired; });
    app.ProcessMessages();
    EXPECT_EQ(fired, 1);
}

} // namespace
