#pragma once

// Child controls painted with GDI. A Panel is a child window: a solid colour, optional 1-pixel
// bevels, and the windowless controls placed on it, which it paints in creation order and feeds
// with the pointer. Bevel, Label and ImageView are those windowless controls. Colours are
// 0x00RRGGBB.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace win32 {

using Color = std::uint32_t;
constexpr Color BtnHighlight = 0xFFFFFF;
constexpr Color BtnShadow = 0xA0A0A0;

enum class MouseButton { Left, Right, Middle };
// Shift state flags.
constexpr unsigned ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32;

class GraphicControl;

// A child window's bounds in its parent's client area.
RECT ParentRect(HWND window);

// The one pixel format of our pixels: 32 bits of 0x00RRGGBB, rows top-down.
BITMAPINFO TopDownInfo(int width, int height);

class Panel {
public:
    enum class BevelKind { None, Raised, Lowered };

    Panel(HWND parent, int left, int top, int width, int height);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    HWND Handle() const { return FHandle; }
    void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetVisible(bool visible);
    void SetColor(Color color);
    void SetBevels(BevelKind outer, BevelKind inner);
    void Invalidate();

    // The windowless control that gets every pointer event while it holds the capture; null
    // when none does. Setting one takes the system's capture for its panel.
    static GraphicControl* CaptureControl();
    static void SetCaptureControl(GraphicControl* control);

private:
    friend class GraphicControl;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Pointer(UINT message, WPARAM wParam, LPARAM lParam);
    GraphicControl* ControlAt(POINT p) const;

    HWND FHandle = nullptr;
    Color FColor = 0xFFFFFF;
    BevelKind FOuter = BevelKind::None;
    BevelKind FInner = BevelKind::None;
    std::vector<GraphicControl*> FControls;
    GraphicControl* FHover = nullptr;
};

class GraphicControl {
public:
    GraphicControl(Panel& parent, int left, int top, int width, int height);
    virtual ~GraphicControl();
    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;

    Panel& Parent() const { return FParent; }
    int Left() const { return FBounds.left; }
    int Top() const { return FBounds.top; }
    int Width() const { return FBounds.right - FBounds.left; }
    int Height() const { return FBounds.bottom - FBounds.top; }
    void SetBounds(int left, int top, int width, int height);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    void Invalidate();
    // Paints the control's area now.
    void Repaint();

    HCURSOR Cursor = nullptr; // null: the arrow

protected:
    friend class Panel;
    // `dc` has its origin at the control's top-left corner and is clipped to its bounds.
    virtual void Paint(HDC dc) = 0;
    // Pointer positions are relative to the control.
    virtual void MouseDown(MouseButton, unsigned, int, int) {}
    virtual void MouseMove(unsigned, int, int) {}
    virtual void MouseUp(MouseButton, unsigned, int, int) {}
    virtual void DblClick(MouseButton, unsigned, int, int) {}
    virtual void MouseLeave() {}

private:
    Panel& FParent;
    RECT FBounds;
    bool FVisible = true;
};

// An etched line along the top edge: a row in the shadow colour, the row below in the highlight
// colour; nothing else is drawn.
class Bevel : public GraphicControl {
public:
    using GraphicControl::GraphicControl;

protected:
    void Paint(HDC dc) override;
};

struct Font {
    std::string Name = "MS Sans Serif";
    int Height = 11; // character height in pixels
    std::uint32_t Color = 0;
    bool Bold = false;
    bool Underline = false;
};

// A line of text; sized to its caption when AutoSize is on (left and top kept). Transparent: only
// the text is drawn. A left press and its release inside the label click it.
class Label : public GraphicControl {
public:
    Label(Panel& parent, int left, int top, int width, int height);
    ~Label() override;

    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return FCaption; }
    void SetFont(const Font& font);
    HFONT FontHandle() const { return FFont; }
    void SetColor(Color color);
    void SetTransparent(bool transparent);
    void SetAutoSize(bool autoSize);
    // The caption's extent in the label's font.
    SIZE TextSize() const;

    std::function<void()> OnClick;

protected:
    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;

private:
    void Fit();

    std::string FCaption;
    Font FFontSpec;
    HFONT FFont = nullptr;
    Color FColor = 0xFFFFFF;
    bool FTransparent = false;
    bool FAutoSize = false;
    bool FPressed = false;
};

// Shows pixels (not owned; 32-bit 0x00RRGGBB rows, top-down, without gaps) 1:1 at its top-left
// corner, clipped to its bounds, drawing nothing where the bitmap does not reach. The pointer is
// passed on as it comes: the rules of a click belong to the owner.
class ImageView : public GraphicControl {
public:
    using GraphicControl::GraphicControl;

    // nullptr shows nothing.
    void SetPixels(const std::uint32_t* bits, int width, int height);
    const std::uint32_t* Pixels() const { return FBits; }
    // The monitor's dots per inch: at 192 each bitmap pixel becomes 2 x 2 pixels, at 144 the
    // bitmap is scaled by 1.5 with halftone filtering. Bounds are in the monitor's pixels.
    void SetDpi(int dpi);

    std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseDown;
    // In place of the second press of a double click.
    std::function<void(MouseButton, unsigned shift, int x, int y)> OnDblClick;
    std::function<void(unsigned shift, int x, int y)> OnMouseMove;
    std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseUp;
    std::function<void()> OnMouseLeave;

protected:
    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseMove(unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
    void DblClick(MouseButton button, unsigned shift, int x, int y) override;
    void MouseLeave() override;

private:
    const std::uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    int FDpi = USER_DEFAULT_SCREEN_DPI;
};

} // namespace win32
