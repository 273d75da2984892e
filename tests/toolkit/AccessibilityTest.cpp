// The keyboard and assistive technology: the focus order of Tab and Shift+Tab, Space and Enter on
// buttons and links, the focus mark, and what a screen reader is told, read back through the
// system's own accessibility interface.

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/TrackBar.h"

#include "Ui.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr TColor kBall = 0x3366CC;

// A window with a slider, two picture buttons and a link in its tab order, and a picture outside
// it, each counting its clicks.
struct Window : ::testing::Test {
    TForm form;
    TPanel* panel = new TPanel(&form);
    TTrackBar* bar = new TTrackBar(panel);
    TImage* back = new TImage(panel);
    TImage* play = new TImage(panel);
    TLabel* link = new TLabel(panel);
    TImage* picture = new TImage(panel);
    std::map<TControl*, int> clicks;
    int changes = 0;
    int frame = 1;

    Window() {
        form.SetBounds(100, 100, 320, 200);
        panel->SetBounds(0, 0, 300, 150);
        panel->SetColor(clWhite);
        panel->SetBevelOuter(TBevelCut::None);
        bar->SetBounds(10, 10, 150, 22);
        bar->SetAccessibleRole(TAccessibleRole::Slider);
        bar->SetAccessibleName("Position");
        bar->OnChange = [this](TObject*) { ++changes; };
        for (auto [button, left, name] : {std::tuple{back, 170,
                                                     "Zur\xc3\xbc"
                                                     "ck"},
                                          std::tuple{play, 210, "Start"}}) {
            button->SetBounds(left, 10, 30, 29);
            ui::Fill(*button->Picture()->Bitmap(), 30, 29, kBall);
            button->SetAccessibleRole(TAccessibleRole::Button);
            button->SetAccessibleName(name);
        }
        link->SetBounds(10, 60, 0, 0);
        link->SetFont({"Liberation Sans", 13, clBlack, true, true});
        link->SetCaption("\xc3\xb6"
                         "ffnen");
        link->SetAccessibleRole(TAccessibleRole::Link);
        picture->SetBounds(10, 90, 40, 30);
        picture->SetAccessibleRole(TAccessibleRole::Picture);
        picture->OnAccessibleName = [this] { return "Bild " + std::to_string(frame); };
        for (TControl* c : std::vector<TControl*>{bar, back, play, link, picture})
            c->OnClick = [this](TObject* sender) { ++clicks[static_cast<TControl*>(sender)]; };
        form.SetTabOrder({bar, back, play, link});
        form.SetActiveControl(bar);
    }

    void SetUp() override {
        ASSERT_TRUE(ui::ShowAndWait(form));
        ASSERT_TRUE(ui::ActivateAndWait(form));
        ASSERT_TRUE(ui::HasFocus(*bar));
    }

    // The one control of the tab order that holds the focus, as the system and as assistive
    // technology see it; null when not exactly one does.
    TControl* Focused() {
        TControl* focused = nullptr;
        for (TControl* c : std::vector<TControl*>{bar, back, play, link}) {
            if (!ui::HasFocus(*c))
                continue;
            if (focused != nullptr || !ui::Accessible(*c).Focused)
                return nullptr;
            focused = c;
        }
        return focused;
    }

    std::string NameOf(const TControl* c) const {
        return c == bar    ? "bar"
               : c == back ? "back"
               : c == play ? "play"
               : c == link ? "link"
                           : "?";
    }
};

TEST_F(Window, TabAndShiftTabWalkTheOrderAndWrap) {
    using K = ui::TKey;
    struct Row {
        ui::TKey key;
        TControl* focused;
    };
    for (const Row& r : {Row{K::Tab, back}, Row{K::Tab, play}, Row{K::Tab, link}, Row{K::Tab, bar},
                         Row{K::ShiftTab, link}, Row{K::ShiftTab, play}, Row{K::ShiftTab, back},
                         Row{K::ShiftTab, bar}, Row{K::ShiftTab, link}, Row{K::Tab, bar}}) {
        ui::KeyToFocus(form, r.key);
        ASSERT_EQ(NameOf(Focused()), NameOf(r.focused))
            << (r.key == K::Tab ? "Tab" : "Shift+Tab") << " to " << NameOf(r.focused);
    }
    // A hidden control is passed over.
    back->SetVisible(false);
    ui::KeyToFocus(form, K::Tab);
    EXPECT_EQ(NameOf(Focused()), "play");
    ui::KeyToFocus(form, K::ShiftTab);
    EXPECT_EQ(NameOf(Focused()), "bar");
    // Tab moves nothing but the focus.
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(Window, SpaceAndEnterPressTheFocusedButtonOrLinkOncePerStroke) {
    using K = ui::TKey;
    struct Row {
        TControl* control;
        ui::TKey key;
        int clicks;
    };
    for (const Row& r : {Row{back, K::Space, 1}, Row{back, K::Return, 1}, Row{back, K::A, 0},
                         Row{link, K::Space, 1}, Row{link, K::Return, 1}, Row{link, K::Home, 0},
                         Row{bar, K::Space, 0}, Row{bar, K::Return, 0}}) {
        SCOPED_TRACE(NameOf(r.control) + " key " + std::to_string(int(r.key)));
        clicks.clear();
        r.control->SetFocus();
        ASSERT_TRUE(ui::HasFocus(*r.control));
        ui::KeyToFocus(form, r.key);
        EXPECT_EQ(clicks[r.control], r.clicks);
        EXPECT_EQ(clicks.size(), std::size_t{1}) << "only the focused control clicks";
    }
    EXPECT_EQ(changes, 0) << "Space and Enter leave the slider alone";

    // A held key presses once, as a held mouse button does.
    clicks.clear();
    play->SetFocus();
    ui::KeyPress(*play, K::Space);
    ui::KeyAutoRepeat(*play, K::Space);
    ui::KeyAutoRepeat(*play, K::Space);
    ui::KeyRelease(*play, K::Space);
    EXPECT_EQ(clicks[play], 1);
}

TEST_F(Window, AScreenReaderReadsRolesNamesAndFocus) {
    struct Row {
        TControl* control;
        ui::TAccessible read;
    };
    using R = TAccessibleRole;
    for (const Row& r : {Row{bar, {R::Slider, "Position", true, true, false}},
                         Row{back,
                             {R::Button,
                              "Zur\xc3\xbc"
                              "ck",
                              true, false, true}},
                         Row{play, {R::Button, "Start", true, false, true}},
                         Row{link,
                             {R::Link,
                              "\xc3\xb6"
                              "ffnen",
                              true, false, true}},
                         Row{picture, {R::Picture, "Bild 1", false, false, false}}}) {
        SCOPED_TRACE(r.read.Name);
        const ui::TAccessible read = ui::Accessible(*r.control);
        EXPECT_EQ(int(read.Role), int(r.read.Role));
        EXPECT_EQ(read.Name, r.read.Name);
        EXPECT_EQ(read.Focusable, r.read.Focusable);
        EXPECT_EQ(read.Focused, r.read.Focused);
        EXPECT_EQ(read.Pressable, r.read.Pressable);
    }
    // A computed name is computed when it is read; a name set anew is read anew.
    frame = 75;
    EXPECT_EQ(ui::Accessible(*picture).Name, "Bild 75");
    play->SetAccessibleName("Halt");
    EXPECT_EQ(ui::Accessible(*play).Name, "Halt");
    link->SetCaption("schlie\xc3\x9f"
                     "en");
    EXPECT_EQ(ui::Accessible(*link).Name, "schlie\xc3\x9f"
                                          "en");
    // The slider's value is its position.
    bar->SetMax(20);
    bar->SetPosition(7);
    EXPECT_EQ(ui::AccessibleValue(*bar), "7");
}

TEST_F(Window, AScreenReadersPressRunsTheClickAndNothingElseOffersOne) {
    EXPECT_TRUE(ui::AccessiblePress(*back));
    EXPECT_TRUE(ui::AccessiblePress(*link));
    EXPECT_TRUE(ui::AccessiblePress(*link));
    EXPECT_FALSE(ui::AccessiblePress(*picture));
    EXPECT_FALSE(ui::AccessiblePress(*bar));
    EXPECT_EQ(clicks, (std::map<TControl*, int>{{back, 1}, {link, 2}}));
    // Pressing moves no focus.
    EXPECT_TRUE(ui::HasFocus(*bar));
}

// Dots alternating black and white along the focused control's edges; inside them, and on a
// control without the focus, what the control draws anyway.
TEST_F(Window, TheFocusedButtonOrLinkShowsAFocusMark) {
    const auto expectRing = [](const ui::TPixels& shot, const ui::TPixels& plain) {
        for (int y = 0; y < shot.Height; ++y) {
            for (int x = 0; x < shot.Width; ++x) {
                const bool edge = x == 0 || y == 0 || x == shot.Width - 1 || y == shot.Height - 1;
                const TColor expected = !edge ? plain.At(x, y) : (x + y) % 2 ? clWhite : clBlack;
                ASSERT_EQ(shot.At(x, y), expected) << "at " << x << "," << y;
            }
        }
    };
    for (TControl* control : std::vector<TControl*>{play, link}) {
        SCOPED_TRACE(NameOf(control));
        const ui::TPixels plain = ui::Rendered(*panel, *control);
        control->SetFocus();
        expectRing(ui::Rendered(*panel, *control), plain);
        bar->SetFocus();
        EXPECT_EQ(ui::Rendered(*panel, *control), plain);
    }
    EXPECT_EQ(ui::Rendered(*panel, *play).At(0, 0), kBall);
}

} // namespace
