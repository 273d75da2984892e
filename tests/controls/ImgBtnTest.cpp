#include "controls/ImgBtn.h"
#include "toolkit/Controls.h"

#include "Differences.h"
#include "Ui.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr TColor kOver = 0xFF0000;
constexpr TColor kDown = 0x00FF00;
constexpr TColor kUp = 0x0000FF;
constexpr TColor kDis = 0x808080;
constexpr TColor kShown = 0xFFFF00;

void Fill(TPicture& picture, TColor colour) {
    ui::Fill(*picture.Bitmap(), 30, 29, colour);
}

TColor Colour(TPicture* picture) {
    return ui::Pixels(*picture->Bitmap()).At(1, 1);
}

std::string Displayed(TImgBtn* button) {
    if (button->Picture()->Empty())
        return "none";
    switch (Colour(button->Picture())) {
    case kOver:
        return "Over";
    case kDown:
        return "Down";
    case kUp:
        return "Up";
    case kDis:
        return "Dis";
    case kShown:
        return "Shown";
    default:
        return "other";
    }
}

// A window with one button at (20, 20), defined as the main window does it, on screen.
struct Harness {
    TPanel window;
    TImgBtn* button = new TImgBtn(&window);
    TPicture over, down, up, dis;
    int clicks = 0;
    int dblClicks = 0;

    Harness() {
        window.SetBounds(0, 0, 120, 80);
        button->SetBounds(20, 20, 30, 29);
        button->SetAutoSize(true);
        button->SetEnabled(true);
        Fill(over, kOver);
        Fill(down, kDown);
        Fill(up, kUp);
        Fill(dis, kDis);
        button->SetOverPict(&over);
        button->SetDownPict(&down);
        button->SetUpPict(&up);
        button->SetDisPict(&dis);
        button->SetEnabled(true);
        button->OnClick = [this](TObject*) { ++clicks; };
        button->OnDblClick = [this](TObject*) { ++dblClicks; };
        EXPECT_TRUE(ui::ShowAndWait(window));
        // Start with the pointer over the window, away from the button.
        ui::PointerMove(window, {110, 75});
    }
};

// Move: a real pointer move (the system's own enter/leave while no button is held, the grabbed
// move otherwise). SendMove: a move delivered to the button as the old platform's capture did.
enum class Act { Move, SendMove, Press, Release, DClick, Leave, Disable, Enable };

struct Step {
    Act act;
    TPoint pos;
    TMouseButton mouse;
    const char* shown;
    bool pressed;
    bool captured;
    int clicks;
    int dblClicks;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    // A back end that answers the sequence otherwise: it is left out there.
    TDifference differs = {};
};

void Perform(Harness& h, const Step& s) {
    TImgBtn& b = *h.button;
    switch (s.act) {
    case Act::Move:
        ui::PointerMove(b, s.pos);
        break;
    case Act::SendMove:
        ui::SendPointerMove(b, s.pos);
        break;
    case Act::Press:
        ui::PointerPress(b, s.pos, s.mouse);
        break;
    case Act::Release:
        ui::PointerRelease(b, s.pos, s.mouse);
        break;
    case Act::DClick:
        ui::DoubleClick(b, s.pos, s.mouse);
        break;
    case Act::Leave:
        ui::PointerLeave(b);
        break;
    case Act::Disable:
        b.SetEnabled(false);
        break;
    case Act::Enable:
        b.SetEnabled(true);
        break;
    }
}

const TPoint kIn{5, 5};
const TPoint kIn2{12, 12};
const TPoint kOut{45, 10};
constexpr auto L = TMouseButton::Left;
constexpr auto R = TMouseButton::Right;
constexpr auto N = TMouseButton::Left; // steps without a button ignore it

const std::vector<Sequence> kSequences = {
    {"enter, leave",
     {{Act::Move, kIn, N, "Over", false, true, 0, 0},
      {Act::Move, kOut, N, "Up", false, false, 0, 0}}},
    {"leave while the cursor still reads inside",
     {{Act::Move, kIn, N, "Over", false, true, 0, 0},
      {Act::Leave, {}, N, "Up", false, false, 0, 0}},
     OnWin32("the system sends no leave to a window that holds the capture: the button, which "
             "holds it while hovered, hears of the pointer only by its moves")},
    {"right and bottom edge lines count as inside for moves",
     {{Act::SendMove, {30, 10}, N, "Over", false, true, 0, 0},
      {Act::SendMove, {31, 10}, N, "Up", false, false, 0, 0},
      {Act::SendMove, {10, 29}, N, "Over", false, true, 0, 0},
      {Act::SendMove, {10, 30}, N, "Up", false, false, 0, 0}}},
    {"leaving onto the right edge line does not leave the hover stuck",
     {{Act::Move, {29, 10}, N, "Over", false, true, 0, 0},
      {Act::Move, {30, 10}, N, "Up", false, false, 0, 0}},
     OnWin32("with the system's capture the button gets the move onto its right edge line, which "
             "counts as inside: the next pixel out leaves, as with the old platform")},
    {"click",
     {{Act::Move, kIn, N, "Over", false, true, 0, 0},
      {Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Release, kIn, L, "Up", false, false, 1, 0},
      {Act::Move, kIn2, N, "Over", false, true, 1, 0}}},
    {"press, drag out, release outside",
     {{Act::Move, kIn, N, "Over", false, true, 0, 0},
      {Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Move, kOut, N, "Down", true, true, 0, 0},
      {Act::Release, kOut, L, "Up", false, false, 0, 0}}},
    {"release on the right or bottom edge line raises no click",
     {{Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Release, {30, 10}, L, "Up", false, false, 0, 0},
      {Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Release, {10, 29}, L, "Up", false, false, 0, 0},
      {Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Release, {29, 28}, L, "Up", false, false, 1, 0}}},
    {"right button changes no picture; its release ends a left press",
     {{Act::Move, kIn, N, "Over", false, true, 0, 0},
      {Act::Press, kIn, R, "Over", false, true, 0, 0},
      {Act::Release, kIn, R, "Over", false, true, 0, 0},
      {Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Press, kIn, R, "Down", true, true, 0, 0},
      {Act::Release, kIn, R, "Down", false, true, 0, 0},
      {Act::Move, kIn2, N, "Over", false, true, 0, 0},
      {Act::Release, kIn2, L, "Up", false, false, 1, 0}}},
    {"double-click",
     {{Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Release, kIn, L, "Up", false, false, 1, 0},
      {Act::DClick, kIn, L, "Down", true, true, 1, 1},
      {Act::Release, kIn, L, "Up", false, false, 1, 1}}},
    {"disabled: pictures stop reacting, clicks still arrive",
     {{Act::Disable, {}, N, "Dis", false, false, 0, 0},
      {Act::Move, kIn, N, "Dis", false, false, 0, 0},
      {Act::Press, kIn, L, "Dis", false, true, 0, 0},
      {Act::Release, kIn, L, "Dis", false, false, 1, 0},
      {Act::DClick, kIn, L, "Dis", false, true, 1, 1},
      {Act::Release, kIn, L, "Dis", false, false, 1, 1},
      {Act::Enable, {}, N, "Up", false, false, 1, 1}}},
    {"disabled during a press",
     {{Act::Press, kIn, L, "Down", true, true, 0, 0},
      {Act::Disable, {}, N, "Dis", true, true, 0, 0},
      {Act::Release, kIn, L, "Dis", false, false, 1, 0}}},
};

} // namespace

TEST(ImgBtn, PointerSequences) {
    TDifferentRows different;
    for (const Sequence& sequence : kSequences) {
        if (sequence.differs.Here()) {
            different.Note(sequence.name, sequence.differs);
            continue;
        }
        Harness h;
        ASSERT_EQ(Displayed(h.button), "Up") << sequence.name;
        for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
            const Step& s = sequence.steps[i];
            Perform(h, s);
            const std::string where =
                std::string(sequence.name) + ", step " + std::to_string(i + 1);
            EXPECT_EQ(Displayed(h.button), s.shown) << where;
            EXPECT_EQ(h.button->Pressed(), s.pressed) << where;
            EXPECT_EQ(GetCaptureControl() == h.button, s.captured) << where;
            EXPECT_EQ(h.clicks, s.clicks) << where;
            EXPECT_EQ(h.dblClicks, s.dblClicks) << where;
        }
        EXPECT_EQ(h.button->Width(), 30) << sequence.name;
        EXPECT_EQ(h.button->Height(), 29) << sequence.name;
    }
    RS_SKIP_DIFFERENT_ROWS(different);
}

TEST(ImgBtn, DefinitionOrderShowsTheDefinitionPictureUntilThePointerMoves) {
    TPanel window;
    window.SetBounds(0, 0, 120, 80);
    auto* button = new TImgBtn(&window);
    // Freshly constructed: disabled, showing the empty DisPict.
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(button->Picture()->Empty());

    // The stored order: bounds, automatic sizing, Enabled, displayed picture, events, pictures.
    button->SetBounds(40, 16, 30, 29);
    button->SetAutoSize(true);
    button->SetEnabled(true);
    EXPECT_TRUE(button->Picture()->Empty());
    EXPECT_EQ((std::vector{button->Left(), button->Top(), button->Width(), button->Height()}),
              (std::vector{40, 16, 30, 29}));
    TPicture shown, over, down, up;
    Fill(shown, kShown);
    Fill(over, kOver);
    Fill(down, kDown);
    Fill(up, kUp);
    button->Picture()->Assign(&shown);
    button->SetOverPict(&over);
    button->SetDownPict(&down);
    button->SetUpPict(&up);
    EXPECT_EQ(Displayed(button), "Shown");

    // The setters copied the content into the button's own pictures.
    EXPECT_NE(button->OverPict(), &over);
    EXPECT_TRUE(ui::SharePixels(*button->OverPict()->Bitmap(), *over.Bitmap()));
    Fill(over, 0x010203);
    EXPECT_EQ(Colour(button->OverPict()), kOver);

    ASSERT_TRUE(ui::ShowAndWait(window));
    ui::PointerMove(window, {110, 75});
    EXPECT_EQ(Displayed(button), "Shown");
    ui::PointerMove(*button, kIn);
    EXPECT_EQ(Displayed(button), "Over");
    ui::PointerMove(*button, kOut);
    EXPECT_EQ(Displayed(button), "Up");
}
