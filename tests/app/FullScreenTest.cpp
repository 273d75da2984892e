#include "FormFixture.h"

#include "Ui.h"

#include <array>

namespace {

// The window's outer bounds: left, top, width, height.
std::array<int, 4> Bounds(const TForm& form) {
    return {form.OuterLeft(), form.OuterTop(), form.OuterWidth(), form.OuterHeight()};
}

TEST_F(FormTest, VollbildGivenTwiceEntersOnceAndCoversTheScreen) {
    Make({"-vollbild", "-vollbild"});
    EXPECT_FALSE(ui::HasFrame(*form)); // from FormCreate
    ShowMain();
    ASSERT_TRUE(form->FullScreen());
    const int w = std::max(form->ScreenWidth(), 560), h = std::max(form->ScreenHeight(), 660);
    EXPECT_EQ(Bounds(*form), (std::array{0, 0, w, h}));
    EXPECT_EQ(form->Panel1->Left(), w / 2 - 269);
    EXPECT_EQ(form->Panel1->Top(), h / 2 - 322);
    const std::array before = Bounds(*form);
    form->setfullscreen(true); // the current mode: nothing changes
    EXPECT_EQ(Bounds(*form), before);
}

TEST_F(FormTest, FullScreenIsOnScreenDuringTheDecode) {
    Make({"-vollbild", Fixture(kScenes.Ten)});
    bool visibleDuringDecode = false;
    form->Timer1->OnTimer = nullptr;
    DuringDecode(*form, [&] { visibleDuringDecode = visibleDuringDecode || form->Visible(); });
    ShowMain();
    EXPECT_TRUE(visibleDuringDecode);
    EXPECT_EQ(form->FrameCount(), 10);
}

TEST_F(FormTest, LeavingFullScreenRestoresGeometryAndState) {
    Make();
    ShowMain();
    const std::array before = Bounds(*form);
    const std::uint32_t style = form->WindowStyle();
    ASSERT_TRUE(ui::HasFrame(*form));
    form->setfullscreen(true);
    EXPECT_FALSE(ui::HasFrame(*form));
    EXPECT_NE(Bounds(*form), before);
    form->setfullscreen(false);
    EXPECT_FALSE(form->FullScreen());
    EXPECT_TRUE(ui::HasFrame(*form));
    EXPECT_EQ(form->WindowStyle(), style);
    EXPECT_EQ(Bounds(*form), before);
    EXPECT_EQ(form->WindowState(), TWindowState::Normal);
    EXPECT_TRUE(form->Visible());
}

} // namespace
