#include "FormFixture.h"
#include "RowName.h"
#include "TempDir.h"

#include <filesystem>

namespace {

struct FailureCase : NamedRow {
    const char* file;             // fixture name, or "@" and a name in a temporary folder
    std::vector<String> messages; // message boxes, in order
    std::vector<String> errors;   // error boxes, in order
};

class LoaderFailure : public FormTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoaderFailure, EndsInItsMessagesWithNothingLoaded) {
    const FailureCase& c = GetParam();
    TempDir tmp;
    std::filesystem::create_directory(TempDir::Name(tmp.File("folder.avi")));
    const String file = c.file;
    const String path = file.rfind('@', 0) == 0 ? tmp.File(file.substr(1)) : Fixture(file);
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

const String kMissing = "Diese Szene ist nicht vorhanden";
const String kOpenFailed = "Fehler beim Öffnen der Datei.";

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderFailure,
    ::testing::Values(
        FailureCase{"missing", "@missing.avi", {kMissing}, {}},
        FailureCase{"folder", "@folder.avi", {kMissing}, {}},
        FailureCase{"textFile", "text.avi", {kScenes.NotASceneCode}, {kOpenFailed}},
        FailureCase{"audioOnly", "audio_only.avi", {}, {"Fehler beim Öffnen der Datei (Audio)"}},
        FailureCase{"rateZero", kScenes.RateZero, {}, {"Gleitkommadivision durch Null."}},
        FailureCase{"scaleZero", kScenes.ScaleZero, {}, {"Gleitkommadivision durch Null."}},
        FailureCase{"bothZero", kScenes.BothZero, {}, {"Ungültige Gleitkommaoperation."}}),
    RowName());

TEST_F(FormTest, LoadsEveryFrameAtItsSize) {
    Make();
    Open(Fixture(kScenes.Ten));
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(form->FrameCount(), 10);
    EXPECT_TRUE(form->SceneLoaded());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(form->Frame(i)->Width(), 64);
        EXPECT_EQ(form->Frame(i)->Height(), 48);
    }
    // Distinct frames in order: each differs from its neighbour at the centre.
    for (int i = 1; i < 10; ++i)
        EXPECT_NE(ui::PixelAt(*form->Frame(i), 32, 24), ui::PixelAt(*form->Frame(i - 1), 32, 24));
}

TEST_F(FormTest, SceneOfNoFramesLoadsWithoutError) {
    Make();
    Open(Fixture(kScenes.None));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->FrameCount(), 0);
    EXPECT_TRUE(form->SceneLoaded());
}

TEST_F(FormTest, OpenResetsPlaybackAndALaterRequestReplacesTheScene) {
    Make();
    Open(Fixture(kScenes.Ten));
    Tick(4);
    form->ImgBtn12Click(form->ImgBtn12); // pause
    ASSERT_TRUE(form->Paused());
    TBitmap first;
    first.Assign(form->Frame(0));
    Open(Fixture(kScenes.Two));
    EXPECT_EQ(form->FrameCount(), 2);
    EXPECT_EQ(form->Current(), 0);
    EXPECT_FALSE(form->Paused());
    EXPECT_EQ(form->TrackBar1->Position(), 0);
    EXPECT_FALSE(ui::SharePixels(*form->Frame(0), first));
}

TEST_F(FormTest, DialogChoiceOpensAndCancelDoesNothing) {
    Make();
    form->OpenDialog1->ExecuteHook = [](String&) { return false; };
    form->Label2Click(form->Label2);
    EXPECT_FALSE(form->OpenRequested());
    String offered;
    form->OpenDialog1->ExecuteHook = [&](String& name) {
        offered = name;
        name = Fixture(kScenes.Ten);
        return true;
    };
    form->Label2Click(form->Label2);
    EXPECT_EQ(form->FrameCount(), 10);
    // The second use starts with the previous choice.
    form->Label2Click(form->Label2);
    EXPECT_EQ(offered, Fixture(kScenes.Ten));
    // A typed name of a missing file reaches the open request.
    form->OpenDialog1->ExecuteHook = [](String& name) {
        name = "/tmp/no/such/typed.avi";
        return true;
    };
    form->Label2Click(form->Label2);
    EXPECT_EQ(messages, std::vector<String>{kMissing});
    EXPECT_EQ(form->FrameCount(), 10); // the current scene stays
}

TEST_F(FormTest, TicksRunDuringTheFirstDecodeWithThePictureHidden) {
    Make();
    int ticks = 0, visibleTicks = 0, maxSeen = 0;
    DuringDecode(*form, [&] {
        Tick();
        ++ticks;
        if (form->Image3->Visible())
            ++visibleTicks;
        maxSeen = std::max(maxSeen, form->TrackBar1->Max());
    });
    Open(Fixture(kScenes.Long));
    ASSERT_EQ(form->FrameCount(), 300);
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(visibleTicks, 0);
    EXPECT_GT(maxSeen, 10); // the slider's range grew with the frames
    Tick();
    EXPECT_TRUE(form->Image3->Visible());
}

TEST_F(FormTest, RequestDuringDecodeWaitsAndTheLatestWins) {
    Make();
    int requests = 0;
    DuringDecode(*form, [&] {
        if (requests == 0)
            form->OpenScene(Fixture(kScenes.Ten));
        if (requests == 1)
            form->OpenScene(Fixture(kScenes.Two));
        ++requests;
    });
    Open(Fixture(kScenes.Long));
    EXPECT_EQ(form->FrameCount(), 300); // no decode inside the running one
    for (int i = 0; i < 5 && form->FrameCount() == 300; ++i)
        app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, CloseDuringDecodeTakesEffectAfterIt) {
    Make();
    bool asked = false;
    DuringDecode(*form, [&] {
        if (!asked)
            form->Label1Click(form->Label1);
        asked = true;
    });
    Open(Fixture(kScenes.Long));
    EXPECT_EQ(form->FrameCount(), 300);
    EXPECT_TRUE(app.Terminated());
}

} // namespace

namespace {

struct DropCase : NamedRow {
    String file;                  // the dropped file
    int frames;                   // loaded afterwards
    std::vector<String> messages; // message boxes, in order
    std::vector<String> errors;   // error boxes, in order
};

class DropOnAFreshWindow : public FormTest, public ::testing::WithParamInterface<DropCase> {};

// Whatever is dropped, the drop is taken and ends in a scene or in a box: never in nothing.
TEST_P(DropOnAFreshWindow, OpensOrSaysWhyNot) {
    const DropCase& c = GetParam();
    Make();
    ASSERT_TRUE(ui::DropFiles(*form, {c.file}));
    // The drop returns before the open; the open follows from the event loop.
    EXPECT_FALSE(form->OpenRequested());
    app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), c.frames);
    EXPECT_EQ(form->SceneLoaded(), c.frames > 0);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DropOnAFreshWindow,
    ::testing::Values(
        DropCase{"aviScene", Fixture(kScenes.Ten), 10, {}, {}},
        DropCase{"missingFile", "/tmp/no/such/dropped.avi", 0, {kMissing}, {}},
        DropCase{"folder", Fixture(""), 0, {kMissing}, {}},
        DropCase{"notAScene", Fixture("text.avi"), 0, {kScenes.NotASceneCode}, {kOpenFailed}}),
    RowName());

TEST_F(FormTest, DropKeepsTheSceneWhenItCannotOpen) {
    Make();
    ui::DropFiles(*form, {Fixture(kScenes.Ten)});
    app.ProcessMessages();
    ASSERT_EQ(form->FrameCount(), 10);
    ui::DropFiles(*form, {"/tmp/no/such/dropped.avi"});
    app.ProcessMessages();
    EXPECT_EQ(messages, std::vector<String>{kMissing});
    EXPECT_EQ(form->FrameCount(), 10);
}

TEST_F(FormTest, DropDuringDecodeWaitsForIt) {
    Make();
    bool dropped = false;
    DuringDecode(*form, [&] {
        if (!dropped)
            ui::DropFiles(*form, {Fixture(kScenes.Two)});
        dropped = true;
    });
    Open(Fixture(kScenes.Long));
    EXPECT_EQ(form->FrameCount(), 300);
    for (int i = 0; i < 5 && form->FrameCount() == 300; ++i)
        app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
}

} // namespace
