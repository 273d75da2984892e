#include "FormFixture.h"
#include "RowName.h"
#include "toolkit/qt/Pixels.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

namespace {

struct FailureCase : NamedRow {
    const char* file;     // fixture name, or a path relative to a temporary folder
    QStringList messages; // message boxes, in order
    QStringList errors;   // error boxes, in order
};

class LoaderFailure : public FormTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoaderFailure, EndsInItsMessagesWithNothingLoaded) {
    const FailureCase& c = GetParam();
    QTemporaryDir tmp;
    QDir(tmp.path()).mkdir(QStringLiteral("folder.avi"));
    const QString file = QString::fromLatin1(c.file);
    const QString path = file.startsWith(QLatin1Char('@'))
                             ? tmp.path() + QLatin1Char('/') + file.mid(1)
                             : Fixture(c.file);
    Make();
    Open(path);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(errors, c.errors);
    EXPECT_EQ(form->FrameCount(), 0);
    EXPECT_FALSE(form->SceneLoaded());
    EXPECT_TRUE(form->OpenRequested());
    Tick(2); // the window stays usable
    EXPECT_EQ(form->LastIndex(), -1);
}

const QString kMissing = QStringLiteral("Diese Szene ist nicht vorhanden");
const QString kOpenFailed = QStringLiteral("Fehler beim Öffnen der Datei.");

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderFailure,
    ::testing::Values(
        FailureCase{"missing", "@missing.avi", {kMissing}, {}},
        FailureCase{"folder", "@folder.avi", {kMissing}, {}},
        FailureCase{"textFile", "text.avi", {QStringLiteral("BADFORMAT")}, {kOpenFailed}},
        FailureCase{"audioOnly",
                    "audio_only.avi",
                    {},
                    {QStringLiteral("Fehler beim Öffnen der Datei (Audio)")}},
        FailureCase{
            "rateZero", "rate0.avi", {}, {QStringLiteral("Gleitkommadivision durch Null.")}},
        FailureCase{
            "scaleZero", "scale0.avi", {}, {QStringLiteral("Gleitkommadivision durch Null.")}},
        FailureCase{
            "bothZero", "ratescale0.avi", {}, {QStringLiteral("Ungültige Gleitkommaoperation.")}}),
    RowName());

TEST_F(FormTest, LoadsEveryFrameAtItsSize) {
    Make();
    Open(Fixture("raw24_10.avi"));
    EXPECT_TRUE(errors.isEmpty());
    ASSERT_EQ(form->FrameCount(), 10);
    EXPECT_TRUE(form->SceneLoaded());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(BitmapImage(*form->Frame(i)).size(), QSize(64, 48));
    // Distinct frames in order: each differs from its neighbour at the centre.
    for (int i = 1; i < 10; ++i)
        EXPECT_NE(BitmapImage(*form->Frame(i)).pixel(32, 24),
                  BitmapImage(*form->Frame(i - 1)).pixel(32, 24));
}

TEST_F(FormTest, SceneOfNoFramesLoadsWithoutError) {
    Make();
    Open(Fixture("raw24_0.avi"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(form->FrameCount(), 0);
    EXPECT_TRUE(form->SceneLoaded());
}

TEST_F(FormTest, OpenResetsPlaybackAndALaterRequestReplacesTheScene) {
    Make();
    Open(Fixture("raw24_10.avi"));
    Tick(4);
    form->ImgBtn12Click(form->ImgBtn12); // pause
    ASSERT_TRUE(form->Paused());
    const QImage first = BitmapImage(*form->Frame(0));
    Open(Fixture("raw24_2.avi"));
    EXPECT_EQ(form->FrameCount(), 2);
    EXPECT_EQ(form->Current(), 0);
    EXPECT_FALSE(form->Paused());
    EXPECT_EQ(form->TrackBar1->Position(), 0);
    EXPECT_NE(BitmapImage(*form->Frame(0)).cacheKey(), first.cacheKey());
}

TEST_F(FormTest, DialogChoiceOpensAndCancelDoesNothing) {
    Make();
    form->OpenDialog1->ExecuteHook = [](String&) { return false; };
    form->Label2Click(form->Label2);
    EXPECT_FALSE(form->OpenRequested());
    String offered;
    form->OpenDialog1->ExecuteHook = [&](String& name) {
        offered = name;
        name = S(Fixture("raw24_10.avi"));
        return true;
    };
    form->Label2Click(form->Label2);
    EXPECT_EQ(form->FrameCount(), 10);
    // The second use starts with the previous choice.
    form->Label2Click(form->Label2);
    EXPECT_EQ(offered, S(Fixture("raw24_10.avi")));
    // A typed name of a missing file reaches the open request.
    form->OpenDialog1->ExecuteHook = [](String& name) {
        name = "/tmp/no/such/typed.avi";
        return true;
    };
    form->Label2Click(form->Label2);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Diese Szene ist nicht vorhanden")});
    EXPECT_EQ(form->FrameCount(), 10); // the current scene stays
}

// Runs `action` on each yield of the decode (a zero timer fires once per pass of the event loop).
template <typename F> void DuringDecode(TForm1& form, F action) {
    auto* t = new QTimer(QtWidget(&form));
    t->setInterval(0);
    QObject::connect(t, &QTimer::timeout, QtWidget(&form), [&form, action] {
        if (form.Decoding())
            action();
    });
    t->start();
}

TEST_F(FormTest, TicksRunDuringTheFirstDecodeWithThePictureHidden) {
    Make();
    int ticks = 0, visibleTicks = 0, maxSeen = 0;
    DuringDecode(*form, [&] {
        Tick();
        ++ticks;
        if (!QtWidget(form->Image3)->isHidden())
            ++visibleTicks;
        maxSeen = std::max(maxSeen, form->TrackBar1->Max());
    });
    Open(Fixture("long_300.avi"));
    ASSERT_EQ(form->FrameCount(), 300);
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(visibleTicks, 0);
    EXPECT_GT(maxSeen, 10); // the slider's range grew with the frames
    Tick();
    EXPECT_FALSE(QtWidget(form->Image3)->isHidden());
}

TEST_F(FormTest, RequestDuringDecodeWaitsAndTheLatestWins) {
    Make();
    int requests = 0;
    DuringDecode(*form, [&] {
        if (requests == 0)
            form->OpenScene(S(Fixture("raw24_10.avi")));
        if (requests == 1)
            form->OpenScene(S(Fixture("raw24_2.avi")));
        ++requests;
    });
    Open(Fixture("long_300.avi"));
    EXPECT_EQ(form->FrameCount(), 300); // no decode inside the running one
    for (int i = 0; i < 5 && form->FrameCount() == 300; ++i)
        app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FormTest, CloseDuringDecodeTakesEffectAfterIt) {
    Make();
    bool asked = false;
    DuringDecode(*form, [&] {
        if (!asked)
            form->Label1Click(form->Label1);
        asked = true;
    });
    Open(Fixture("long_300.avi"));
    EXPECT_EQ(form->FrameCount(), 300);
    EXPECT_TRUE(app.Terminated());
}

} // namespace

namespace {

// Drags a URL onto the window as the platform does (enter, then drop); true when both were taken.
bool Drop(TForm1& form, const QUrl& url) {
    QMimeData data;
    data.setUrls({url});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(&form), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(&form), &drop);
    return drop.isAccepted();
}

bool Drop(TForm1& form, const QString& path) {
    return Drop(form, QUrl::fromLocalFile(path));
}

struct DropCase {
    const char* name;
    QUrl url;
    int frames;           // loaded afterwards
    QStringList messages; // message boxes, in order
    QStringList errors;   // error boxes, in order
};

void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class DropOnAFreshWindow : public FormTest, public ::testing::WithParamInterface<DropCase> {};

// Whatever is dropped, the drop is taken and ends in a scene or in a box: never in nothing.
TEST_P(DropOnAFreshWindow, OpensOrSaysWhyNot) {
    const DropCase& c = GetParam();
    Make();
    ASSERT_TRUE(Drop(*form, c.url));
    // The drop returns before the open; the open follows from the event loop.
    EXPECT_FALSE(form->OpenRequested());
    app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), c.frames);
    EXPECT_EQ(form->SceneLoaded(), c.frames > 0);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(errors, c.errors);
}

QUrl FixtureUrl(const char* name) {
    return QUrl::fromLocalFile(QStringLiteral(RS_FIXTURES "/") + QLatin1String(name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DropOnAFreshWindow,
    ::testing::Values(
        DropCase{"aviScene", FixtureUrl("raw24_10.avi"), 10, {}, {}},
        DropCase{"mp4Mpeg4Part2", FixtureUrl("mp4_mpeg4_10.mp4"), 10, {}, {}},
        DropCase{"missingFile",
                 QUrl::fromLocalFile("/tmp/no/such/dropped.avi"),
                 0,
                 {QStringLiteral("Diese Szene ist nicht vorhanden")},
                 {}},
        DropCase{
            "folder", FixtureUrl(""), 0, {QStringLiteral("Diese Szene ist nicht vorhanden")}, {}},
        DropCase{"notAScene",
                 FixtureUrl("text.avi"),
                 0,
                 {QStringLiteral("BADFORMAT")},
                 {QStringLiteral("Fehler beim Öffnen der Datei.")}},
        // A phone or a network share in a file manager hands out URLs that are no local path.
        DropCase{"phoneUrl",
                 QUrl(QStringLiteral("mtp://Phone/DCIM/clip.mp4")),
                 0,
                 {QStringLiteral("Nur lokale Dateien lassen sich öffnen")},
                 {}},
        DropCase{"webUrl",
                 QUrl(QStringLiteral("https://example.org/clip.avi")),
                 0,
                 {QStringLiteral("Nur lokale Dateien lassen sich öffnen")},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, DropKeepsTheSceneWhenItCannotOpen) {
    Make();
    Drop(*form, Fixture("raw24_10.avi"));
    app.ProcessMessages();
    ASSERT_EQ(form->FrameCount(), 10);
    Drop(*form, QStringLiteral("/tmp/no/such/dropped.avi"));
    Drop(*form, QUrl(QStringLiteral("sftp://host/clip.avi")));
    app.ProcessMessages();
    EXPECT_EQ(messages, (QStringList{QStringLiteral("Diese Szene ist nicht vorhanden"),
                                     QStringLiteral("Nur lokale Dateien lassen sich öffnen")}));
    EXPECT_EQ(form->FrameCount(), 10);
}

// A file manager deletes the original after a drop answered with a move.
TEST_F(FormTest, DropIsTakenAsACopyEvenWhenAMoveIsProposed) {
    Make();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Fixture("raw24_2.avi"))});
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(100, 100), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(QtWidget(form.get()), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(100, 100), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(QtWidget(form.get()), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
}

TEST_F(FormTest, DropDuringDecodeWaitsForIt) {
    Make();
    bool dropped = false;
    DuringDecode(*form, [&] {
        if (!dropped)
            Drop(*form, Fixture("raw24_2.avi"));
        dropped = true;
    });
    Open(Fixture("long_300.avi"));
    EXPECT_EQ(form->FrameCount(), 300);
    for (int i = 0; i < 5 && form->FrameCount() == 300; ++i)
        app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
}

} // namespace
