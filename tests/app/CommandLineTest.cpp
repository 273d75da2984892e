#include "app/CommandLine.h"
#include "FormFixture.h"
#include "TempDir.h"
#include "toolkit/SysUtils.h"

#include <filesystem>

namespace {

using TAction = TCommandLine::TAction;

struct ParseCase {
    const char* name;
    std::vector<String> args;
    TAction action;
    std::vector<String> words; // what the window's argument walks see
    String openFile;
    int optionWords = -1; // how many words may carry Qt's options; -1: all
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParse, SeparatesOurOptionsFromTheWords) {
    const ParseCase& c = GetParam();
    const TCommandLine got = TCommandLine::Parse(c.args);
    EXPECT_EQ(got.Action, c.action);
    EXPECT_EQ(got.Words, c.words);
    EXPECT_EQ(got.OpenFile, c.openFile);
    EXPECT_EQ(got.OptionWords,
              c.optionWords < 0 ? c.words.size() : static_cast<std::size_t>(c.optionWords));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineParse,
    ::testing::Values(
        ParseCase{"none", {}, TAction::Run, {}, {}},
        // Without the new options every argument reaches the walks as before.
        ParseCase{"oldWords",
                  {"-vollbild", "a.avi", "", "-x", "--xyz", "b.AVI"},
                  TAction::Run,
                  {"-vollbild", "a.avi", "", "-x", "--xyz", "b.AVI"},
                  {}},
        ParseCase{"open", {"--open", "/x/clip.MP4"}, TAction::Run, {}, "/x/clip.MP4"},
        ParseCase{"openEquals",
                  {"--open=/x/c.mkv", "-vollbild"},
                  TAction::Run,
                  {"-vollbild"},
                  "/x/c.mkv"},
        // The value is taken as it stands: no full screen here.
        ParseCase{"openOptionLikeValue", {"--open", "-vollbild"}, TAction::Run, {}, "-vollbild"},
        ParseCase{
            "openTwiceLastWins", {"--open", "a.mp4", "--open", "b.mp4"}, TAction::Run, {}, "b.mp4"},
        ParseCase{"sceneAfterOpenWins", {"--open", "a.mp4", "b.avi"}, TAction::Run, {"b.avi"}, {}},
        // A word that names no scene (c.mkv does not exist) leaves --open the last.
        ParseCase{"openAfterSceneWins",
                  {"b.avi", "--open", "a.mp4", "c.mkv", "-vollbild"},
                  TAction::Run,
                  {"b.avi", "c.mkv", "-vollbild"},
                  "a.mp4"},
        // A launcher with no file to pass leaves --open alone; an empty one names none either.
        ParseCase{"openWithoutFile", {"b.avi", "--open"}, TAction::Run, {"b.avi"}, {}},
        ParseCase{
            "openEmpty", {"--open", "a.mp4", "--open", "", "--open="}, TAction::Run, {}, "a.mp4"},
        // Neither ours nor Qt's options after "--".
        ParseCase{"doubleDashEndsOptions",
                  {"-style", "x", "--", "--open", "x.mp4", "--help", "--", "-reverse"},
                  TAction::Run,
                  {"-style", "x", "--open", "x.mp4", "--help", "--", "-reverse"},
                  {},
                  2},
        ParseCase{"help", {"a.avi", "--help"}, TAction::Help, {"a.avi"}, {}},
        ParseCase{"shortHelp", {"-h"}, TAction::Help, {}, {}},
        ParseCase{"firstDecides", {"--version", "-h"}, TAction::Version, {}, {}},
        ParseCase{"helpIsCaseSensitive", {"--HELP", "-H"}, TAction::Run, {"--HELP", "-H"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTexts, HelpListsEveryOptionAndVersionNamesTheProject) {
    const String help = HelpText("reelstand");
    EXPECT_EQ(help.rfind("Aufruf: reelstand ", 0), 0u);
    for (const char* option : {"--open DATEI", "-vollbild", "-h, --help", "--version", "--  "})
        EXPECT_NE(help.find(option), String::npos) << option;
    EXPECT_EQ(VersionText("reelstand").rfind("reelstand " REELSTAND_TEST_VERSION "\n", 0), 0u);
}

// The command line as the program reads it, through the show handler to the open request.
class OpenOption : public FormTest {
protected:
    void Start(const std::vector<String>& args) {
        const TCommandLine commandLine = TCommandLine::Parse(args);
        form = std::make_unique<TForm1>(app, commandLine.Words, commandLine.OpenFile);
        form->Timer1->SetEnabled(false);
        ::testing::internal::CaptureStderr();
        ShowMain();
        lines = BoxLines(::testing::internal::GetCapturedStderr());
    }
    std::vector<String> lines;
};

TEST_F(OpenOption, OpensAFileWhateverItsName) {
    TempDir tmp;
    const String clip = tmp.File("clip.MP4");
    ASSERT_TRUE(
        std::filesystem::copy_file(TempDir::Name(Fixture(kScenes.Ten)), TempDir::Name(clip)));
    Start({"--open", clip});
    EXPECT_EQ(form->FrameCount(), 10);
    EXPECT_TRUE(form->SceneLoaded());
    EXPECT_EQ(form->SceneFile(), clip);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(lines.empty());
}

TEST_F(OpenOption, TheLastSceneNamedIsRequestedAndNamedOnStandardError) {
    const String a = "/tmp/none/a.mkv", b = "/tmp/none/b.avi";
    const String missing = "Diese Szene ist nicht vorhanden";
    const struct {
        std::vector<String> args;
        String requested;
        bool fullScreen;
    } cases[] = {
        {{"--open", a}, a, false},           {{b, "--open", a}, a, false},
        {{"--open", a, b}, b, false},        {{"--open", "-vollbild"}, "-vollbild", false},
        {{"-vollbild", "--open"}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        messages.clear();
        Start(c.args);
        EXPECT_EQ(form->SceneFile(), c.requested);
        EXPECT_EQ(form->FullScreen(), c.fullScreen);
        // The box keeps its text; the line names the file.
        using Lines = std::vector<String>;
        EXPECT_EQ(messages, c.requested.empty() ? Lines{} : Lines{missing});
        EXPECT_EQ(lines, c.requested.empty() ? Lines{}
                                             : Lines{"reelstand: " + c.requested + ": " + missing});
    }
}

// A bare argument is a scene when it ends in ".avi" as the system compares names (any case on
// Windows), or names an existing video file (what Explorer passes for a file dropped on the
// program's icon); other words stay ignored.
TEST_F(OpenOption, BareArgumentsThatNameScenes) {
    TempDir tmp;
    const String camera = tmp.File("MVI_0001.AVI"), phone = tmp.File("clip.mp4"),
                 text = tmp.File("notes.txt");
    for (const String& copy : {camera, phone, text})
        ASSERT_TRUE(
            std::filesystem::copy_file(TempDir::Name(Fixture(kScenes.Ten)), TempDir::Name(copy)));
    // Names ignore case on Windows only.
    const bool caseBlind = ui::BackEnd() == ui::TBackEnd::Win32;
    const String missingCamera = tmp.File("MVI_0002.AVI");
    const struct {
        std::vector<String> args;
        String requested;
    } cases[] = {
        {{camera}, camera},
        {{phone, "-vollbild"}, phone},
        {{"--open", phone, camera}, camera}, // the last scene named wins
        {{text}, {}},
        {{tmp.File("missing.mp4")}, {}},
        {{missingCamera}, caseBlind ? missingCamera : String()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        messages.clear();
        Start(c.args);
        EXPECT_EQ(form->SceneFile(), c.requested);
        const bool exists = c.requested != missingCamera;
        EXPECT_EQ(form->FrameCount(), !c.requested.empty() && exists ? 10 : 0);
        EXPECT_EQ(messages, !c.requested.empty() && !exists
                                ? std::vector<String>{"Diese Szene ist nicht vorhanden"}
                                : std::vector<String>{});
    }
}

TEST_F(FormTest, EveryBoxOfAnOpenIsAlsoALineNamingTheFile) {
    Make();
    String chosen;
    form->OpenDialog1->ExecuteHook = [&](String& name) {
        name = chosen;
        return true;
    };
    ::testing::internal::CaptureStderr();
    for (const String& path : {Fixture("text.avi"), Fixture("audio_only.avi")}) {
        chosen = path;
        app.Guard([&] { form->Label2Click(form->Label2); });
    }
    EXPECT_EQ(
        BoxLines(::testing::internal::GetCapturedStderr()),
        (std::vector<String>{
            "reelstand: " + Fixture("text.avi") + ": " + String(kScenes.NotASceneCode),
            "reelstand: " + Fixture("text.avi") + ": Fehler beim Öffnen der Datei.",
            "reelstand: " + Fixture("audio_only.avi") + ": Fehler beim Öffnen der Datei (Audio)",
        }));
    // The boxes keep their own texts.
    EXPECT_EQ(messages, (std::vector<String>{kScenes.NotASceneCode}));
    EXPECT_EQ(errors, (std::vector<String>{"Fehler beim Öffnen der Datei.",
                                           "Fehler beim Öffnen der Datei (Audio)"}));
}

} // namespace
