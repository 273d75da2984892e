#include "FormFixture.h"
#include "RowName.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace {

struct ArgsCase : NamedRow {
    QStringList args;
    QString sceneFile; // what FormShow keeps
    bool fullScreen;
};

class ArgumentWalk : public FormTest, public ::testing::WithParamInterface<ArgsCase> {};

TEST_P(ArgumentWalk, FindsSceneAndFullScreenExactly) {
    const ArgsCase& c = GetParam();
    Make(c.args);
    ShowMain();
    EXPECT_EQ(form->SceneFile(), S(c.sceneFile));
    EXPECT_EQ(form->FullScreen(), c.fullScreen);
    // A named scene is requested (these do not exist), nothing else is.
    EXPECT_EQ(messages, c.sceneFile.isEmpty()
                            ? QStringList{}
                            : QStringList{QStringLiteral("Diese Szene ist nicht vorhanden")});
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArgumentWalk,
    ::testing::Values(
        ArgsCase{"none", {}, {}, false}, ArgsCase{"vollbild", {"-vollbild"}, {}, true},
        ArgsCase{"vollbildCaps", {"-VOLLBILD", "-Vollbild"}, {}, false},
        ArgsCase{"upperExt", {"/tmp/none/a.AVI"}, {}, false},
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
    QtWidget(form.get())->show(); // a hidden window defers its resize events
    form->SetBounds(0, 0, GetParam().width, GetParam().height); // outer size, frame included
    EXPECT_EQ(QtWidget(form->Panel1)->pos(), QPoint(GetParam().panelLeft, GetParam().panelTop));
}

INSTANTIATE_TEST_SUITE_P(Table, FormResize,
                         ::testing::Values(ResizeCase{560, 660, 11, 8},
                                           ResizeCase{800, 700, 131, 28},
                                           ResizeCase{1024, 768, 243, 62},
                                           ResizeCase{561, 661, 11, 8},  // div truncates
                                           ResizeCase{100, 100, 11, 8}), // minimum size holds
                         RowName());

// The window as it first appears: its title, size and captions, the 512 x 512 picture area, the
// slider's first range and the clock's pace; every control inside the window and none covering
// another, so that each can be seen and clicked.
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

TEST_F(FormTest, DefinitionGivesAWindowWhoseControlsCanAllBeReached) {
    Make();
    EXPECT_EQ(QtWidget(form.get())->windowTitle(), QStringLiteral("Tavrin Reelstand"));
    EXPECT_EQ(QtWidget(form.get())->size(), QSize(560, 660));
    EXPECT_EQ(static_cast<QLabel*>(QtWidget(form->Label1))->text(), QStringLiteral("schließen"));
    EXPECT_EQ(static_cast<QLabel*>(QtWidget(form->Label2))->text(), QStringLiteral("öffnen"));
    EXPECT_EQ(QtWidget(form->Image3)->size(), QSize(512, 512));
    EXPECT_EQ(form->TrackBar1->Max(), 10);
    EXPECT_EQ(form->Timer1->Interval(), 80);
    // Labels size themselves to their caption.
    EXPECT_GT(form->Label1->Width(), form->Label2->Width());
    EXPECT_NEAR(form->Label1->Height(), 16, 2);

    std::vector<std::pair<const char*, QRect>> reachable;
    for (const char* name :
         {"Image3", "Label1", "Label2", "ImgBtn12", "ImgBtn13", "ImgBtn14", "TrackBar1"}) {
        const QWidget* control = QtWidget(Named(*form, name));
        ASSERT_NE(control, nullptr) << name;
        const QRect area(control->mapTo(QtWidget(form.get()), QPoint(0, 0)), control->size());
        EXPECT_FALSE(area.isEmpty()) << name;
        EXPECT_TRUE(QtWidget(form.get())->rect().contains(area)) << name;
        for (const auto& [other, otherArea] : reachable)
            EXPECT_FALSE(area.intersects(otherArea)) << name << " covers " << other;
        reachable.emplace_back(name, area);
    }
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Bevel1"})
        EXPECT_NE(Named(*form, name), nullptr) << name;
}

TEST_F(FormTest, ShowHandlerRunsBeforeTheWindowIsVisibleThenItIsCentred) {
    Make({QStringLiteral("/tmp/no/such/scene.avi")});
    bool visibleDuringShow = true;
    app.MessageBoxHook = [&](const String& t) {
        messages << QString::fromStdString(t);
        visibleDuringShow = QtWidget(form.get())->isVisible();
    };
    ShowMain();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Diese Szene ist nicht vorhanden")});
    EXPECT_FALSE(visibleDuringShow);
    EXPECT_TRUE(QtWidget(form.get())->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(QtWidget(form.get())->pos(), QPoint(std::max(0, (screen.width() - 560) / 2),
                                                  std::max(0, (screen.height() - 660) / 2)));
}

TEST_F(FormTest, FailureInShowHandlerIsReportedAndTheWindowStillAppears) {
    Make({Fixture("text.avi")});
    ShowMain();
    EXPECT_EQ(messages, QStringList{QStringLiteral("BADFORMAT")});
    EXPECT_EQ(errors, QStringList{QStringLiteral("Fehler beim Öffnen der Datei.")});
    EXPECT_TRUE(QtWidget(form.get())->isVisible());
}

TEST_F(FormTest, NoArgumentsShowsAnEmptyWhitePictureArea) {
    Make();
    ShowMain();
    Tick(3);
    EXPECT_FALSE(QtWidget(form->Image3)->isHidden());
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
    EXPECT_TRUE(
        QtWidget(form.get())->isVisible()); // closing the main window neither hides nor destroys it
}

} // namespace
