#include "FormFixture.h"
#include "RowName.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

struct ArgsCase : NamedRow {
    std::vector<String> args;
    String sceneFile; // what FormShow keeps
    bool fullScreen;
};

class ArgumentWalk : public FormTest, public ::testing::WithParamInterface<ArgsCase> {};

TEST_P(ArgumentWalk, FindsSceneAndFullScreenExactly) {
    const ArgsCase& c = GetParam();
    Make(c.args);
    ShowMain();
    EXPECT_EQ(form->SceneFile(), c.sceneFile);
    EXPECT_EQ(form->FullScreen(), c.fullScreen);
    // A named scene is requested (these do not exist), nothing else is.
    EXPECT_EQ(messages, c.sceneFile.empty()
                            ? std::vector<String>{}
                            : std::vector<String>{"Diese Szene ist nicht vorhanden"});
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArgumentWalk,
    ::testing::Values(
        ArgsCase{"none", {}, {}, false}, ArgsCase{"vollbild", {"-vollbild"}, {}, true},
        ArgsCase{"vollbildCaps", {"-VOLLBILD", "-Vollbild"}, {}, false},
        ArgsCase{"lastWins",
                 {"/tmp/none/one.avi", "-x", "/tmp/none/two.avi"},
                 "/tmp/none/two.avi",
                 false},
        ArgsCase{"dotInFolder", {"/tmp/none.avi/scene"}, {}, false},
        ArgsCase{"backslashAfterDot", {"/tmp/x.avi\\y"}, {}, false},
        ArgsCase{"colonAfterDot", {"/tmp/x.avi:y"}, {}, false},
        ArgsCase{"driveAndBackslash", {"C:\\szenen\\x.avi"}, "C:\\szenen\\x.avi", false},
        ArgsCase{"otherExt", {"/tmp/none/x.avi.bak"}, {}, false},
        ArgsCase{"emptyDropped", {"", "/tmp/none/s.avi", ""}, "/tmp/none/s.avi", false},
        ArgsCase{"both", {"-vollbild", "/tmp/none/s.avi", "-vollbild"}, "/tmp/none/s.avi", true}),
    RowName());

struct ResizeCase {
    int width, height, panelLeft, panelTop;

    friend std::ostream& operator<<(std::ostream& os, const ResizeCase& c) {
        return os << c.width << "x" << c.height;
    }
};

class FormResize : public FormTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(FormResize, CentresPanel1) {
    Make();
    ui::ShowAndWait(*form); // a hidden window may defer its resize events
    form->SetBounds(0, 0, GetParam().width, GetParam().height); // outer size, frame included
    EXPECT_EQ((std::array{form->Panel1->Left(), form->Panel1->Top()}),
              (std::array{GetParam().panelLeft, GetParam().panelTop}));
}

INSTANTIATE_TEST_SUITE_P(Table, FormResize,
                         ::testing::Values(ResizeCase{560, 660, 11, 8},
                                           ResizeCase{800, 700, 131, 28},
                                           ResizeCase{1024, 768, 243, 62},
                                           ResizeCase{561, 661, 11, 8},  // div truncates
                                           ResizeCase{100, 100, 11, 8}), // minimum size holds
                         RowName());

// The control that carries `name` among those `owner` holds, at any depth, or null.
const TControl* Named(const TComponent& owner, const char* name) {
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        const TComponent* component = owner.Components(i);
        if (component->Name == name)
            return dynamic_cast<const TControl*>(component);
        if (const TControl* found = Named(*component, name))
            return found;
    }
    return nullptr;
}

// A control's area in the window's client area: left, top, right, bottom (exclusive).
struct Area {
    int left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(const Area& o) const {
        return o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom;
    }
    bool Intersects(const Area& o) const {
        return std::max(left, o.left) < std::min(right, o.right) &&
               std::max(top, o.top) < std::min(bottom, o.bottom);
    }
};

Area InWindow(const TControl& control, const TForm& window) {
    int left = control.Left(), top = control.Top();
    for (const TControl* p = control.Parent(); p != nullptr && p != &window; p = p->Parent()) {
        left += p->Left();
        top += p->Top();
    }
    return {left, top, left + control.Width(), top + control.Height()};
}

// The window as it first appears: its title, size and captions, the 512 x 512 picture area, the
// slider's first range and the clock's pace; every control inside the window and none covering
// another, so that each can be seen and clicked.
TEST_F(FormTest, DefinitionGivesAWindowWhoseControlsCanAllBeReached) {
    Make();
    EXPECT_EQ(ui::WindowCaption(*form), "Tavrin Reelstand");
    EXPECT_EQ((std::array{form->OuterWidth(), form->OuterHeight()}), (std::array{560, 660}));
    EXPECT_EQ(form->Label1->Caption(), "schließen");
    EXPECT_EQ(form->Label2->Caption(), "öffnen");
    EXPECT_EQ((std::array{form->Image3->Width(), form->Image3->Height()}), (std::array{512, 512}));
    EXPECT_EQ(form->TrackBar1->Max(), 10);
    EXPECT_EQ(form->Timer1->Interval(), 80);
    // Labels size themselves to their caption.
    EXPECT_GT(form->Label1->Width(), form->Label2->Width());
    EXPECT_NEAR(form->Label1->Height(), 16, 2);

    const Area client{0, 0, form->ClientWidth(), form->ClientHeight()};
    std::vector<std::pair<const char*, Area>> reachable;
    for (const char* name :
         {"Image3", "Label1", "Label2", "ImgBtn12", "ImgBtn13", "ImgBtn14", "TrackBar1"}) {
        const TControl* control = Named(*form, name);
        ASSERT_NE(control, nullptr) << name;
        const Area area = InWindow(*control, *form);
        EXPECT_FALSE(area.Empty()) << name;
        EXPECT_TRUE(client.Contains(area)) << name;
        for (const auto& [other, otherArea] : reachable)
            EXPECT_FALSE(area.Intersects(otherArea)) << name << " covers " << other;
        reachable.emplace_back(name, area);
    }
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Bevel1"})
        EXPECT_NE(Named(*form, name), nullptr) << name;
}

TEST_F(FormTest, ShowHandlerRunsBeforeTheWindowIsVisibleThenItIsCentred) {
    Make({"/tmp/no/such/scene.avi"});
    bool visibleDuringShow = true;
    app.MessageBoxHook = [&](const String& t) {
        messages.push_back(t);
        visibleDuringShow = form->Visible();
    };
    ShowMain();
    EXPECT_EQ(messages, std::vector<String>{"Diese Szene ist nicht vorhanden"});
    EXPECT_FALSE(visibleDuringShow);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ((std::array{form->OuterLeft(), form->OuterTop()}),
              (std::array{std::max(0, (form->ScreenWidth() - 560) / 2),
                          std::max(0, (form->ScreenHeight() - 660) / 2)}));
}

TEST_F(FormTest, FailureInShowHandlerIsReportedAndTheWindowStillAppears) {
    Make({Fixture("text.avi")});
    ShowMain();
    EXPECT_EQ(messages, std::vector<String>{kScenes.NotASceneCode});
    EXPECT_EQ(errors, std::vector<String>{"Fehler beim Öffnen der Datei."});
    EXPECT_TRUE(form->Visible());
}

TEST_F(FormTest, NoArgumentsShowsAnEmptyWhitePictureArea) {
    Make();
    ShowMain();
    Tick(3);
    EXPECT_TRUE(form->Image3->Visible());
    EXPECT_TRUE(form->Image3->Picture()->Empty());
    EXPECT_EQ(Rendered().At(256, 256), clWhite);
}

TEST_F(FormTest, SchliessenAsksTheApplicationToEnd) {
    Make();
    ShowMain();
    form->Label1Click(form->Label1);
    EXPECT_FALSE(app.Terminated()); // a posted request
    app.ProcessMessages();
    EXPECT_TRUE(app.Terminated());
    EXPECT_TRUE(form->Visible()); // closing the main window neither hides nor destroys it
}

} // namespace
