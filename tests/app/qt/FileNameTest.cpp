// File names that only some systems allow.
#include "FormFixture.h"
#include "TempDir.h"

#include <filesystem>

namespace {

// A newline in a file name stays one line on standard error; the box keeps its text.
TEST_F(FormTest, BoxLineOfAFileWithANewlineInItsNameIsOneLine) {
    Make();
    TempDir tmp;
    const String odd = tmp.File("neue\nSzene.avi");
    ASSERT_TRUE(std::filesystem::copy_file(TempDir::Name(Fixture("text.avi")), TempDir::Name(odd)));
    form->OpenDialog1->ExecuteHook = [&](String& name) {
        name = odd;
        return true;
    };
    ::testing::internal::CaptureStderr();
    app.Guard([&] { form->Label2Click(form->Label2); });
    const String shown = tmp.File("neue?Szene.avi");
    EXPECT_EQ(BoxLines(::testing::internal::GetCapturedStderr()),
              (std::vector<String>{"reelstand: " + shown + ": " + String(kScenes.NotASceneCode),
                                   "reelstand: " + shown + ": Fehler beim Öffnen der Datei."}));
    EXPECT_EQ(messages, (std::vector<String>{kScenes.NotASceneCode}));
    EXPECT_EQ(errors, (std::vector<String>{"Fehler beim Öffnen der Datei."}));
}

} // namespace
