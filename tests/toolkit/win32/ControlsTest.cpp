// The GDI child controls rendered into a memory bitmap (WM_PRINTCLIENT) and read back pixel by
// pixel, and the pointer rules of the label and the image, driven by the panel's messages.

#include "toolkit/win32/native/Bevel.h"
#include "toolkit/win32/native/ImageView.h"
#include "toolkit/win32/native/Label.h"
#include "toolkit/win32/native/Panel.h"

#include "GdiCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace win32;

HWND TopLevel() {
    static const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr,
                                               nullptr, nullptr, nullptr);
    return window;
}

// A 32-bit top-down DIB section, selected into a DC of its own as a canvas's bitmap is.
struct Dib {
    int width, height;
    HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap;
    HGDIOBJ old;

    Dib(int w, int h, std::uint32_t fill) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* raw = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<std::uint32_t*>(raw);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
        old = SelectObject(dc, bitmap);
    }
    ~Dib() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::uint32_t At(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }
};

SIZE ClientSize(const Panel& panel) {
    RECT r{};
    GetClientRect(panel.Handle(), &r);
    return {r.right, r.bottom};
}

// What the panel paints, 0x00RRGGBB per pixel.
struct Rendered : Dib {
    explicit Rendered(const Panel& panel)
        : Dib(ClientSize(panel).cx, ClientSize(panel).cy, 0x123456) {
        SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
};

struct Px {
    int x, y;
    std::uint32_t color;
};

void ExpectPixels(const Rendered& r, const std::vector<Px>& pixels) {
    for (const Px& p : pixels)
        EXPECT_EQ(r.At(p.x, p.y), p.color) << "at " << p.x << ", " << p.y;
}

TEST(Panel, PaintsItsColourAndOnePixelBevels) {
    Panel panel(TopLevel(), 0, 0, 20, 10);
    panel.SetColor(0xFFFFFF);
    panel.SetBevels(Panel::BevelKind::Raised, Panel::BevelKind::Lowered);
    const std::uint32_t hi = BtnHighlight, sh = BtnShadow, white = 0xFFFFFF;
    ExpectPixels(Rendered(panel), {
                                      // outer, raised: highlight top and left, shadow bottom/right
                                      {0, 0, hi},
                                      {10, 0, hi},
                                      {0, 5, hi},
                                      {19, 0, sh},
                                      {19, 5, sh},
                                      {10, 9, sh},
                                      {0, 9, sh},
                                      // inner, lowered: the reverse, one pixel in
                                      {1, 1, sh},
                                      {10, 1, sh},
                                      {1, 5, sh},
                                      {18, 5, hi},
                                      {10, 8, hi},
                                      {18, 1, hi},
                                      {1, 8, hi},
                                      // inside them the colour
                                      {2, 2, white},
                                      {17, 7, white},
                                  });
    panel.SetColor(0x000000);
    panel.SetBevels(Panel::BevelKind::None, Panel::BevelKind::None);
    ExpectPixels(Rendered(panel), {{0, 0, 0}, {19, 9, 0}, {1, 1, 0}});
}

TEST(Bevel, DrawsOnlyTheEtchedTopLine) {
    Panel panel(TopLevel(), 0, 0, 30, 20);
    panel.SetColor(0x00FF00);
    Bevel bevel(panel, 4, 5, 20, 13);
    ExpectPixels(Rendered(panel), {{4, 5, BtnShadow},
                                   {23, 5, BtnShadow},
                                   {4, 6, BtnHighlight},
                                   {23, 6, BtnHighlight},
                                   {4, 7, 0x00FF00},
                                   {23, 17, 0x00FF00},
                                   {3, 5, 0x00FF00},
                                   {24, 5, 0x00FF00}});
}

TEST(ImageView, DrawsTheBitmapOneToOneClippedToItsBounds) {
    Panel panel(TopLevel(), 0, 0, 30, 30);
    panel.SetColor(0xFFFFFF);
    ImageView image(panel, 2, 3, 10, 8);
    Dib small(4, 3, 0xFF0000);
    small.bits[0] = 0x0000FF; // the top-left pixel: top-down, not flipped
    image.SetPixels(small.bits, small.width, small.height);
    ExpectPixels(Rendered(panel), {{2, 3, 0x0000FF},
                                   {5, 3, 0xFF0000},
                                   {5, 5, 0xFF0000},
                                   {6, 3, 0xFFFFFF}, // beyond the picture: the panel shows
                                   {2, 6, 0xFFFFFF},
                                   {11, 10, 0xFFFFFF}});
    Dib large(40, 40, 0x00FF00);
    large.bits[0] = 0x0000FF;
    image.SetPixels(large.bits, large.width, large.height);
    ExpectPixels(Rendered(panel), {{2, 3, 0x0000FF},
                                   {3, 3, 0x00FF00},
                                   {11, 10, 0x00FF00},
                                   {12, 10, 0xFFFFFF}, // outside the control: clipped
                                   {11, 11, 0xFFFFFF},
                                   {1, 3, 0xFFFFFF}});
    image.SetVisible(false);
    ExpectPixels(Rendered(panel), {{2, 3, 0xFFFFFF}});
}

TEST(ImageView, ScalesTheBitmapToTheMonitor) {
    Panel panel(TopLevel(), 0, 0, 30, 30);
    panel.SetColor(0xFFFFFF);
    ImageView image(panel, 0, 0, 20, 20);
    Dib picture(4, 4, 0x000000);
    picture.bits[0] = 0xFF0000; // top-left red, the rest black
    image.SetPixels(picture.bits, picture.width, picture.height);
    image.SetDpi(192); // 200 %: each pixel 2 x 2, nothing filtered
    ExpectPixels(Rendered(panel), {{0, 0, 0xFF0000},
                                   {1, 1, 0xFF0000},
                                   {2, 0, 0x000000},
                                   {0, 2, 0x000000},
                                   {7, 7, 0x000000},
                                   {8, 8, 0xFFFFFF}});
    image.SetDpi(144); // 150 %: 6 x 6
    const Rendered r(panel);
    EXPECT_EQ(r.At(5, 5) & 0xFF0000, 0u);
    EXPECT_NE(r.At(0, 0) & 0xFF0000, 0u);
    EXPECT_EQ(r.At(6, 6), 0xFFFFFFu);
    EXPECT_NE(r.At(5, 5), 0xFFFFFFu);
}

TEST(Label, PaintsTransparentTextSizedToItsCaption) {
    Panel panel(TopLevel(), 0, 0, 200, 40);
    panel.SetColor(0x000000);
    Label label(panel, 10, 5, 5, 5);
    label.SetFont({"MS Sans Serif", 13, 0xFFFFFF, true, true});
    label.SetTransparent(true);
    label.SetAutoSize(true);
    label.SetCaption("schlie\xc3\x9f"
                     "en");
    LOGFONTW font{};
    GetObjectW(label.FontHandle(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfUnderline);
    const SIZE size = label.TextSize();
    EXPECT_GT(size.cx, 30);
    EXPECT_GE(size.cy, 13);
    EXPECT_EQ(label.Width(), size.cx);
    EXPECT_EQ(label.Height(), size.cy);
    EXPECT_EQ(label.Left(), 10);
    EXPECT_EQ(label.Top(), 5);
    EXPECT_EQ(label.Cursor, LoadCursorW(nullptr, IDC_HAND));

    const Rendered r(panel);
    int white = 0, other = 0;
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const bool inside = x >= 10 && x < 10 + size.cx && y >= 5 && y < 5 + size.cy;
            const std::uint32_t c = r.At(x, y);
            if (!inside)
                other += c != 0;
            else
                white += c == 0xFFFFFF;
        }
    }
    EXPECT_GT(white, 20); // text, underline included
    EXPECT_EQ(other, 0);  // nothing outside the label
    // Transparent: the panel's black shows between the letters.
    EXPECT_EQ(r.At(10 + size.cx - 1, 5), 0u);
}

// Pointer messages as the system sends them to the panel, positions in the panel's client area.
void Send(const Panel& panel, UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageW(panel.Handle(), message, keys, MAKELPARAM(x, y));
}

// The click rules belong to the label's owner (tests/toolkit ControlsTest); the label reports
// the buttons relative to itself and holds the pointer from a left press to its release.
TEST(Label, ReportsItsButtonsAndHoldsThePointerFromALeftPressToItsRelease) {
    Panel panel(TopLevel(), 0, 0, 100, 40);
    Label label(panel, 10, 10, 40, 16);
    std::vector<std::string> log;
    label.OnMouseDown = [&](MouseButton b, int x, int y) {
        log.push_back("down " + std::to_string(int(b)) + " " + std::to_string(x) + "," +
                      std::to_string(y) + (Panel::CaptureControl() == &label ? " held" : ""));
    };
    label.OnMouseUp = [&](MouseButton b, int x, int y) {
        log.push_back("up " + std::to_string(int(b)) + " " + std::to_string(x) + "," +
                      std::to_string(y) + (Panel::CaptureControl() == &label ? " held" : ""));
    };
    Send(panel, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), panel.Handle());
    Send(panel, WM_LBUTTONUP, -5, 90); // far away: still the label's
    EXPECT_EQ(Panel::CaptureControl(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    Send(panel, WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), nullptr);
    Send(panel, WM_RBUTTONUP, 49, 25);
    EXPECT_EQ(log, (std::vector<std::string>{"down 0 10,10 held", "up 0 -15,80", "down 1 10,10",
                                             "up 1 39,15"}));
}

// The click rules belong to the picture control that owns the view (tests/toolkit ImageTest);
// the view passes the pointer on relative to itself, and to the holder of the capture.
TEST(ImageView, PassesThePointerOnRelativeToItself) {
    Panel panel(TopLevel(), 0, 0, 100, 100);
    ImageView image(panel, 10, 10, 30, 29);
    std::vector<std::string> log;
    const auto record = [&log](const char* what, int b, int x, int y) {
        log.push_back(std::string(what) + " " + std::to_string(b) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    };
    image.OnDblClick = [&](MouseButton b, unsigned, int x, int y) { record("dbl", int(b), x, y); };
    image.OnMouseDown = [&](MouseButton b, unsigned, int x, int y) {
        record("down", int(b), x, y);
    };
    image.OnMouseUp = [&](MouseButton b, unsigned, int x, int y) { record("up", int(b), x, y); };
    image.OnMouseMove = [&](unsigned, int x, int y) { record("move", 0, x, y); };

    Send(panel, WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    Send(panel, WM_LBUTTONDBLCLK, 39, 38, MK_LBUTTON);
    Send(panel, WM_RBUTTONUP, 10, 10);
    Send(panel, WM_MOUSEMOVE, 95, 5); // outside, no capture: not the image's
    Panel::SetCaptureControl(&image);
    Send(panel, WM_MOUSEMOVE, 95, 5); // outside, with the capture: the image's
    Panel::SetCaptureControl(nullptr);
    // Outside every control nothing is reported.
    Send(panel, WM_LBUTTONDOWN, 80, 80, MK_LBUTTON);
    EXPECT_EQ(log,
              (std::vector<std::string>{"down 0 5,5", "dbl 0 29,28", "up 1 0,0", "move 0 85,-5"}));
}

TEST(ImageView, CaptureControlCanBeSetAndIsLostToAnotherWindow) {
    Panel panel(TopLevel(), 0, 0, 100, 100);
    ImageView image(panel, 10, 10, 30, 29);
    std::vector<std::string> moves;
    image.OnMouseMove = [&moves](unsigned, int x, int y) {
        moves.push_back(std::to_string(x) + "," + std::to_string(y));
    };
    Panel::SetCaptureControl(&image);
    EXPECT_EQ(GetCapture(), panel.Handle());
    Send(panel, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(moves, (std::vector<std::string>{"-10,-10"}));
    // A box takes the capture: the image no longer holds it, and releasing leaves the box's.
    SetCapture(TopLevel());
    EXPECT_EQ(Panel::CaptureControl(), nullptr);
    Panel::SetCaptureControl(nullptr);
    EXPECT_EQ(GetCapture(), TopLevel());
    ReleaseCapture();
    Send(panel, WM_MOUSEMOVE, 0, 0); // over no control, and no capture: not the image's
    EXPECT_EQ(moves.size(), 1u);
}

TEST(Label, DeletesTheFontsItMade) {
    Panel panel(TopLevel(), 0, 0, 60, 60);
    HFONT first = nullptr, second = nullptr;
    {
        Label label(panel, 0, 0, 10, 10);
        first = label.FontHandle();
        label.SetFont({"MS Sans Serif", 13, 0, true, false});
        second = label.FontHandle();
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_EQ(GetObjectType(second), DWORD(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST(ImageView, HearsThePointerLeave) {
    Panel panel(TopLevel(), 0, 0, 100, 100);
    ImageView image(panel, 10, 10, 30, 29);
    int leaves = 0;
    image.OnMouseLeave = [&leaves] { ++leaves; };
    Send(panel, WM_MOUSEMOVE, 15, 15);
    Send(panel, WM_MOUSEMOVE, 20, 15);
    EXPECT_EQ(leaves, 0);
    Send(panel, WM_MOUSEMOVE, 80, 80); // onto the panel beside it
    EXPECT_EQ(leaves, 1);
    Send(panel, WM_MOUSEMOVE, 15, 15);
    SendMessageW(panel.Handle(), WM_MOUSELEAVE, 0, 0); // off the panel altogether
    EXPECT_EQ(leaves, 2);
}

TEST(Controls, LeaveNoGdiObjectsBehind) {
    auto round = [] {
        Panel panel(TopLevel(), 0, 0, 60, 60);
        panel.SetBevels(Panel::BevelKind::Raised, Panel::BevelKind::Lowered);
        Label label(panel, 2, 2, 10, 10);
        label.SetFont({"MS Sans Serif", 13, 0xFFFFFF, true, true});
        label.SetAutoSize(true);
        label.SetCaption("x");
        Bevel bevel(panel, 0, 30, 60, 13);
        Dib picture(8, 8, 0xFF0000);
        ImageView image(panel, 5, 5, 20, 20);
        image.SetPixels(picture.bits, picture.width, picture.height);
        Rendered{panel};
        RedrawWindow(panel.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    round(); // fonts and classes the system keeps once
    const unsigned before = GdiObjectCount();
    for (int i = 0; i < 20; ++i)
        round();
    EXPECT_EQ(GdiObjectCount(), before);
}

} // namespace
