#include "toolkit/win32/native/Panel.h"

#include "toolkit/win32/native/TrackBar.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

namespace win32 {

namespace {

const wchar_t* const PanelClass = L"ReelstandPanel";
const wchar_t* const PanelProperty = L"Reelstand.Panel";
// Posted by an assistive technology's default action: press the element in wParam.
constexpr UINT PressMessage = WM_APP + 10;

GraphicControl* gCaptureControl = nullptr;

// One pixel wide: the top row and left column in `topLeft`, then the right column and bottom row
// in `bottomRight`, which therefore owns the top-right and bottom-left corners.
void Frame(HDC dc, RECT r, Color topLeft, Color bottomRight) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    Fill(dc, r.left, r.top, w - 1, 1, topLeft);
    Fill(dc, r.left, r.top, 1, h - 1, topLeft);
    Fill(dc, r.right - 1, r.top, 1, h, bottomRight);
    Fill(dc, r.left, r.bottom - 1, w, 1, bottomRight);
}

void RegisterPanelClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.style = CS_DBLCLKS;
        c.lpfnWndProc = DefWindowProcW; // replaced per window once it knows its panel
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = nullptr; // set per windowless control in WM_SETCURSOR
        c.lpszClassName = PanelClass;
        return RegisterClassExW(&c);
    }();
    (void)atom;
}

unsigned ShiftState(WPARAM keys) {
    unsigned shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    return shift;
}

} // namespace

COLORREF ColorRef(Color c) {
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

void Fill(HDC dc, int left, int top, int width, int height, Color color) {
    if (width <= 0 || height <= 0)
        return;
    SetDCBrushColor(dc, ColorRef(color));
    const RECT r{left, top, left + width, top + height};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

Panel::Panel(HWND parent, int left, int top, int width, int height) {
    RegisterPanelClass();
    FHandle = CreateWindowExW(WS_EX_CONTROLPARENT, PanelClass, L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, left, top,
                              width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!FHandle)
        return;
    SetPropW(FHandle, PanelProperty, this);
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    SetAccessibleSource(FHandle, this);
}

Panel::~Panel() {
    if (gCaptureControl && &gCaptureControl->Parent() == this)
        gCaptureControl = nullptr;
    if (FHandle) {
        SetAccessibleSource(FHandle, nullptr);
        RemovePropW(FHandle, PanelProperty);
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(FHandle);
    }
}

void Panel::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ParentRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Panel::SetColor(Color color) {
    FColor = color;
    Invalidate();
}

void Panel::SetBevels(BevelKind outer, BevelKind inner) {
    FOuter = outer;
    FInner = inner;
    Invalidate();
}

void Panel::Invalidate() {
    InvalidateRect(FHandle, nullptr, FALSE);
}

GraphicControl* Panel::CaptureControl() {
    return gCaptureControl;
}

void Panel::SetCaptureControl(GraphicControl* control) {
    gCaptureControl = control;
    if (control)
        SetCapture(control->Parent().Handle());
    else if (GetCapture() && GetPropW(GetCapture(), PanelProperty))
        ReleaseCapture(); // never one that a box or another control holds
}

LRESULT CALLBACK Panel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

void Panel::Paint(HDC dc) {
    RECT client{};
    GetClientRect(FHandle, &client);
    Fill(dc, 0, 0, client.right, client.bottom, FColor);
    RECT edge = client;
    for (BevelKind kind : {FOuter, FInner}) {
        if (kind == BevelKind::None)
            continue;
        const bool raised = kind == BevelKind::Raised;
        Frame(dc, edge, raised ? BtnHighlight : BtnShadow, raised ? BtnShadow : BtnHighlight);
        InflateRect(&edge, -1, -1);
    }
    for (GraphicControl* c : FControls) {
        if (!c->Visible() || c->Width() <= 0 || c->Height() <= 0)
            continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        POINT origin{};
        OffsetViewportOrgEx(dc, c->Left(), c->Top(), &origin);
        c->Paint(dc);
        if (HasFocus(c) && c->Focusable() && c->PaintFocusMark)
            c->PaintFocusMark(dc);
        RestoreDC(dc, saved);
    }
}

void Panel::Focus(GraphicControl* control) {
    if (control && !control->Focusable())
        return;
    GraphicControl* old = FFocus;
    FFocus = control;
    if (GetFocus() != FHandle) {
        // WM_SETFOCUS paints the mark and tells assistive technology.
        ::SetFocus(FHandle);
        return;
    }
    if (old)
        old->Invalidate();
    if (control) {
        control->Invalidate();
        NotifyAccessibleFocus(FHandle, ChildId(control));
    }
}

bool Panel::HasFocus(const GraphicControl* control) const {
    return control && FFocus == control && GetFocus() == FHandle;
}

void Panel::NotifyNameChange(const GraphicControl* control) const {
    if (const LONG id = ChildId(control); id != CHILDID_SELF)
        NotifyAccessibleNameChange(FHandle, id);
}

std::vector<GraphicControl*> Panel::Exposed() const {
    std::vector<GraphicControl*> exposed;
    for (GraphicControl* c : FControls) {
        if (c->AccessibleRole != 0)
            exposed.push_back(c);
    }
    return exposed;
}

LONG Panel::ChildId(const GraphicControl* control) const {
    const std::vector<GraphicControl*> exposed = Exposed();
    const auto it = std::find(exposed.begin(), exposed.end(), control);
    return it == exposed.end() ? CHILDID_SELF : static_cast<LONG>(it - exposed.begin()) + 1;
}

std::vector<AccessibleElement> Panel::AccessibleElements() const {
    std::vector<AccessibleElement> elements;
    for (const GraphicControl* c : Exposed()) {
        AccessibleElement e;
        e.Role = c->AccessibleRole;
        if (c->AccessibleName)
            e.Name = c->AccessibleName();
        if (!c->Visible())
            e.State |= STATE_SYSTEM_INVISIBLE;
        if (c->Focusable())
            e.State |= STATE_SYSTEM_FOCUSABLE;
        if (HasFocus(c))
            e.State |= STATE_SYSTEM_FOCUSED;
        if (c->AccessibleRole == ROLE_SYSTEM_LINK)
            e.State |= STATE_SYSTEM_LINKED;
        e.Bounds = {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        e.DefaultAction = c->DefaultAction;
        elements.push_back(std::move(e));
    }
    return elements;
}

int Panel::FocusedElement() const {
    const LONG id = ChildId(FFocus);
    return id == CHILDID_SELF ? -1 : static_cast<int>(id - 1);
}

void Panel::DoDefaultAction(int element) {
    PostMessageW(FHandle, PressMessage, static_cast<WPARAM>(element), 0);
}

void Panel::FocusElement(int element) {
    const std::vector<GraphicControl*> exposed = Exposed();
    if (element >= 0 && static_cast<std::size_t>(element) < exposed.size())
        Focus(exposed[static_cast<std::size_t>(element)]);
}

GraphicControl* Panel::ControlAt(POINT p) const {
    // The last created lies on top.
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        GraphicControl* c = *it;
        if (c->Visible() && p.x >= c->Left() && p.x < c->Left() + c->Width() && p.y >= c->Top() &&
            p.y < c->Top() + c->Height())
            return c;
    }
    return nullptr;
}

void Panel::Pointer(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    GraphicControl* captured =
        gCaptureControl && &gCaptureControl->Parent() == this && GetCapture() == FHandle
            ? gCaptureControl
            : nullptr;
    GraphicControl* under = ControlAt(p);
    GraphicControl* target = captured ? captured : under;
    if (message == WM_MOUSEMOVE && FHover != under) {
        if (FHover)
            FHover->MouseLeave();
        FHover = under;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&track);
    }
    if (!target)
        return;
    const int x = p.x - target->Left();
    const int y = p.y - target->Top();
    const unsigned shift = ShiftState(wParam);
    switch (message) {
    case WM_MOUSEMOVE:
        target->MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
        target->MouseDown(MouseButton::Left, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        target->MouseDown(MouseButton::Right, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        target->MouseDown(MouseButton::Middle, shift, x, y);
        break;
    case WM_LBUTTONUP:
        target->MouseUp(MouseButton::Left, shift, x, y);
        break;
    case WM_RBUTTONUP:
        target->MouseUp(MouseButton::Right, shift, x, y);
        break;
    case WM_MBUTTONUP:
        target->MouseUp(MouseButton::Middle, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        target->DblClick(MouseButton::Left, shift, x, y);
        break;
    case WM_RBUTTONDBLCLK:
        target->MouseDown(MouseButton::Right, shift, x, y);
        break;
    case WM_MBUTTONDBLCLK:
        target->MouseDown(MouseButton::Middle, shift, x, y);
        break;
    default:
        break;
    }
}

LRESULT Panel::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FHandle, &ps);
        // Through a buffer of the dirty part only: the picture changes every tick and must
        // neither flicker nor cost a repaint of the whole panel.
        const RECT& dirty = ps.rcPaint;
        const int width = std::max<int>(dirty.right - dirty.left, 1);
        const int height = std::max<int>(dirty.bottom - dirty.top, 1);
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ old = SelectObject(buffer, bitmap);
        SetViewportOrgEx(buffer, -dirty.left, -dirty.top, nullptr);
        IntersectClipRect(buffer, dirty.left, dirty.top, dirty.right, dirty.bottom);
        Paint(buffer);
        SetViewportOrgEx(buffer, 0, 0, nullptr);
        BitBlt(dc, dirty.left, dirty.top, width, height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, old);
        DeleteObject(bitmap);
        DeleteDC(buffer);
        EndPaint(FHandle, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == FHandle && LOWORD(lParam) == HTCLIENT) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(FHandle, &p);
            GraphicControl* c = ControlAt(p);
            SetCursor(c && c->Cursor ? c->Cursor : LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        Pointer(message, wParam, lParam);
        return 0;
    case WM_MOUSELEAVE:
        if (FHover && GetCapture() != FHandle) {
            GraphicControl* left = FHover;
            FHover = nullptr;
            left->MouseLeave();
        }
        return 0;
    case WM_CAPTURECHANGED:
        // A box or another window took the capture: no control holds it any more.
        if (gCaptureControl && &gCaptureControl->Parent() == this &&
            reinterpret_cast<HWND>(lParam) != FHandle)
            gCaptureControl = nullptr;
        return 0;
    case WM_HSCROLL:
        if (TrackBar::HandleScroll(wParam, lParam))
            return 0;
        break;
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(FHandle, wParam, lParam))
            return object;
        break;
    case WM_SETFOCUS:
        if (FFocus) {
            FFocus->Invalidate();
            NotifyAccessibleFocus(FHandle, ChildId(FFocus));
        }
        return 0;
    case WM_KILLFOCUS:
        if (FFocus)
            FFocus->Invalidate();
        return 0;
    case WM_KEYDOWN:
        // Bit 30: the key was down already, an auto-repeat.
        if (FFocus) {
            if (auto handler = FFocus->OnKeyDown;
                handler && handler(static_cast<UINT>(wParam), (lParam & (1 << 30)) != 0))
                return 0;
        }
        break;
    case PressMessage: {
        // The element may be gone since the request was posted.
        const std::vector<GraphicControl*> exposed = Exposed();
        if (wParam < exposed.size()) {
            if (auto press = exposed[wParam]->OnDefaultAction)
                press();
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
}

GraphicControl::GraphicControl(Panel& parent, int left, int top, int width, int height)
    : FParent(parent), FBounds{left, top, left + width, top + height} {
    FParent.FControls.push_back(this);
    Invalidate();
}

GraphicControl::~GraphicControl() {
    auto& list = FParent.FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (FParent.FHover == this)
        FParent.FHover = nullptr;
    if (FParent.FFocus == this)
        FParent.FFocus = nullptr;
    if (gCaptureControl == this)
        Panel::SetCaptureControl(nullptr);
    Invalidate();
}

void GraphicControl::SetBounds(int left, int top, int width, int height) {
    Invalidate();
    FBounds = {left, top, left + width, top + height};
    Invalidate();
}

void GraphicControl::SetVisible(bool visible) {
    if (visible == FVisible)
        return;
    FVisible = visible;
    InvalidateRect(FParent.Handle(), &FBounds, FALSE);
}

void GraphicControl::Invalidate() {
    if (FParent.Handle())
        InvalidateRect(FParent.Handle(), &FBounds, FALSE);
}

void GraphicControl::Repaint() {
    Invalidate();
    if (FParent.Handle())
        UpdateWindow(FParent.Handle());
}

} // namespace win32
