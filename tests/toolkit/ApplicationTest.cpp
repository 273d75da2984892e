#include "toolkit/Application.h"
#include "toolkit/Exception.h"

#include "RowName.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct TitleCase : NamedRow {
    const char* exePath;
    const char* title;
};

class TitleRule : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleRule, DerivesFromExecutableName) {
    EXPECT_EQ(TApplication::TitleFromExeName(QString::fromUtf8(GetParam().exePath)),
              QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TitleRule,
    ::testing::Values(TitleCase{"installed", "/usr/bin/reelstand", "reelstand"},
                      TitleCase{"mixedCase", "./build/app/ReelStand", "Reelstand"},
                      TitleCase{"cutAtFirstDot", "/opt/x.y/REEL.STAND.EXE", "Reel"},
                      TitleCase{"dotsInFoldersDoNotCount", "/a.b/player", "player"},
                      TitleCase{"nonAsciiLowersToo", "ÜBER", "Über"},
                      TitleCase{"oneLetter", "x", "x"}, TitleCase{"dotFirst", ".hidden", ""}),
    RowName());

struct BoxTextCase : NamedRow {
    const char* message;
    const char* shown;
};

class ErrorBoxText : public ::testing::TestWithParam<BoxTextCase> {};

TEST_P(ErrorBoxText, AppendsFullStopAfterHighCharacters) {
    EXPECT_EQ(TApplication::ErrorBoxText(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorBoxText,
    ::testing::Values(BoxTextCase{"letter", "Error en Frameopen", "Error en Frameopen."},
                      BoxTextCase{"bracket", "Fehler beim Öffnen der Datei (Audio)",
                                  "Fehler beim Öffnen der Datei (Audio)"},
                      BoxTextCase{"fullStop", "Systemressourcen erschöpft.",
                                  "Systemressourcen erschöpft."},
                      BoxTextCase{"empty", "", ""}, BoxTextCase{"digit", "Fehler 7", "Fehler 7."},
                      // The last byte of "ß" is above ".".
                      BoxTextCase{"nonAscii", "Größe", "Größe."},
                      BoxTextCase{"dashBelowFullStop", "a-", "a-"},
                      BoxTextCase{"slashAboveFullStop", "a/", "a/."}),
    RowName());

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
