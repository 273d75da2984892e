#pragma once

// A Panel is a child window painted with GDI: a solid colour, optional 1-pixel bevels, and the
// windowless controls placed on it (GraphicControl: Bevel, Label, ImageView), which it paints in
// creation order and feeds with the pointer. It holds the keyboard focus for the controls on it
// that can be pressed, and tells assistive technology what they are. Colours are 0x00RRGGBB.

#include "toolkit/win32/native/Accessible.h"

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

// GDI's colour for ours.
COLORREF ColorRef(Color color);
// Fills the rectangle in one colour; nothing when it is empty.
void Fill(HDC dc, int left, int top, int width, int height, Color color);

class Panel : public AccessibleSource {
public:
    enum class BevelKind { None, Raised, Lowered };

    Panel(HWND parent, int left, int top, int width, int height);
    ~Panel() override;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    HWND Handle() const { return FHandle; }
    void SetBounds(int left, int top, int width, int height);
    void SetColor(Color color);
    void SetBevels(BevelKind outer, BevelKind inner);
    void Invalidate();

    // The windowless control that gets every pointer event while it holds the capture; null
    // when none does. Setting one takes the system's capture for its panel.
    static GraphicControl* CaptureControl();
    static void SetCaptureControl(GraphicControl* control);

    // The keyboard focus: `control` (one that can be pressed) gets it, and with it the panel.
    void Focus(GraphicControl* control);
    // Whether the control has the focus now (the panel has it, for this control).
    bool HasFocus(const GraphicControl* control) const;
    // Tells assistive technology that the control's name changed.
    void NotifyNameChange(const GraphicControl* control) const;

    // AccessibleSource: the controls with a role, in creation order.
    std::vector<AccessibleElement> AccessibleElements() const override;
    int FocusedElement() const override;
    void DoDefaultAction(int element) override;
    void FocusElement(int element) override;

private:
    friend class GraphicControl;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Pointer(UINT message, WPARAM wParam, LPARAM lParam);
    GraphicControl* ControlAt(POINT p) const;
    std::vector<GraphicControl*> Exposed() const;
    LONG ChildId(const GraphicControl* control) const;

    HWND FHandle = nullptr;
    Color FColor = 0xFFFFFF;
    BevelKind FOuter = BevelKind::None;
    BevelKind FInner = BevelKind::None;
    std::vector<GraphicControl*> FControls;
    GraphicControl* FHover = nullptr;
    GraphicControl* FFocus = nullptr;
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

    // To assistive technology: the role (ROLE_SYSTEM_*; 0: not shown to it) and the name, asked
    // for when it is read.
    LONG AccessibleRole = 0;
    std::function<std::string()> AccessibleName;
    // What a press is called; a control without one can neither be pressed nor take the focus.
    std::string DefaultAction;
    // The press of assistive technology's default action, run from the message loop.
    std::function<void()> OnDefaultAction;
    // A key pressed while the control has the focus (`repeated`: the key's auto-repeat); true
    // when the control used it.
    std::function<bool(UINT key, bool repeated)> OnKeyDown;
    bool Focusable() const { return !DefaultAction.empty(); }
    // Draws the focus mark while the control has the focus (same DC as Paint).
    std::function<void(HDC dc)> PaintFocusMark;

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

} // namespace win32
