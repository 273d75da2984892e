// The driving and pixel API on the Win32 back end: the messages the system sends a window for
// what the user does, and the pixels read back from GDI.
#include "Ui.h"

#include "toolkit/Image.h"
#include "toolkit/win32/Peer.h"
#include "toolkit/win32/Pixels.h"
#include "toolkit/win32/Text.h"
#include "toolkit/win32/native/EventLoop.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace ui {
namespace {

HWND Window(const TControl& control) {
    return Win32Window(&control);
}

// A point of the control in its window's client area.
POINT Client(const TControl& control, TPoint at) {
    const POINT origin = control.Handle()->Origin();
    return {origin.x + win32::Scaled(at.X), origin.y + win32::Scaled(at.Y)};
}

LPARAM Coordinates(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)),
                      static_cast<WORD>(static_cast<SHORT>(p.y)));
}

// What the driver knows of the pointer: the buttons held, the window last moved over, where the
// last real move or press was (in the screen's coordinates), and whether the slider's thumb was
// pressed.
struct TPointerState {
    WPARAM buttons = 0;
    HWND hovered = nullptr;
    POINT screen{};
    bool onThumb = false;
} gPointer;

WPARAM Flag(TMouseButton button) {
    switch (button) {
    case TMouseButton::Left:
        return MK_LBUTTON;
    case TMouseButton::Right:
        return MK_RBUTTON;
    case TMouseButton::Middle:
        break;
    }
    return MK_MBUTTON;
}

UINT Message(TPointerEvent event, TMouseButton button, bool doubleClick = false) {
    if (event == TPointerEvent::Move)
        return WM_MOUSEMOVE;
    const bool press = event == TPointerEvent::Press;
    switch (button) {
    case TMouseButton::Left:
        return press ? (doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    case TMouseButton::Right:
        return press ? (doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
    case TMouseButton::Middle:
        break;
    }
    return press ? (doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP;
}

// The innermost visible window under a point of the screen within the control's top-level
// window, or null outside it.
HWND WindowAt(HWND inside, POINT screen) {
    HWND window = GetAncestor(inside, GA_ROOT);
    RECT r{};
    GetWindowRect(window, &r);
    if (!PtInRect(&r, screen))
        return nullptr;
    for (;;) {
        POINT p = screen;
        ScreenToClient(window, &p);
        HWND child = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == window)
            return window;
        window = child;
    }
}

// Sends a pointer message as the system routes it: to the window holding the capture, else to
// the window under the pointer, in that window's coordinates.
void Route(UINT message, WPARAM buttons, HWND target, POINT screen) {
    if (HWND captured = GetCapture())
        target = captured;
    if (target == nullptr)
        return;
    POINT p = screen;
    ScreenToClient(target, &p);
    SendMessageW(target, message, buttons, Coordinates(p));
}

POINT Screen(const TControl& control, TPoint at) {
    POINT p = Client(control, at);
    ClientToScreen(Window(control), &p);
    return p;
}

// The pointer arrives at a window: the one it left hears so, as TrackMouseEvent tells it.
void Hover(HWND window) {
    if (gPointer.hovered != window && gPointer.hovered != nullptr && IsWindow(gPointer.hovered))
        SendMessageW(gPointer.hovered, WM_MOUSELEAVE, 0, 0);
    gPointer.hovered = window;
}

bool IsSlider(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::wcscmp(name, TRACKBAR_CLASSW) == 0;
}

// The thumb as it is drawn: the trackbar lays it out anew when it paints.
RECT ThumbRect(HWND slider) {
    UpdateWindow(slider);
    RECT r{};
    SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

void Press(TControl& control, TPoint at, TMouseButton button, bool doubleClick) {
    const POINT screen = Screen(control, at);
    gPointer.screen = screen;
    HWND window = Window(control);
    if (GetCapture() == nullptr)
        Hover(window);
    gPointer.buttons |= Flag(button);
    if (button == TMouseButton::Left && IsSlider(window)) {
        const RECT thumb = ThumbRect(window);
        gPointer.onThumb = PtInRect(&thumb, Client(control, at)) != FALSE;
    }
    Route(Message(TPointerEvent::Press, button, doubleClick), gPointer.buttons, window, screen);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

UINT VirtualKey(TKey key) {
    switch (key) {
    case TKey::Left:
        return VK_LEFT;
    case TKey::Right:
        return VK_RIGHT;
    case TKey::Up:
        return VK_UP;
    case TKey::Down:
        return VK_DOWN;
    case TKey::PageUp:
        return VK_PRIOR;
    case TKey::PageDown:
        return VK_NEXT;
    case TKey::Home:
        return VK_HOME;
    case TKey::End:
        return VK_END;
    case TKey::A:
        return 'A';
    case TKey::Space:
        return VK_SPACE;
    case TKey::Tab:
    case TKey::ShiftTab:
        return VK_TAB;
    case TKey::Return:
        break;
    }
    return VK_RETURN;
}

// Key messages carry the repeat count 1; bit 30 marks a key that was already down, bit 31 a
// release.
constexpr LPARAM kFirstPress = 1;
constexpr LPARAM kRepeatedPress = LPARAM(0x40000001);
constexpr LPARAM kRelease = LPARAM(0xC0000001u);

// A 32-bit top-down DIB section selected into a memory DC of its own.
struct TSurface {
    int width, height;
    HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    TSurface(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* raw = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<std::uint32_t*>(raw);
        old = SelectObject(dc, bitmap);
    }
    ~TSurface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    // The part at (left, top), clipped to the surface.
    TPixels Crop(int left, int top, int w, int h) const {
        TPixels pixels{w, h, {}};
        pixels.Data.reserve(std::size_t(w) * std::size_t(h));
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x)
                pixels.Data.push_back(
                    x >= 0 && y >= 0 && x < width && y < height && bits
                        ? bits[std::size_t(y) * std::size_t(width) + std::size_t(x)] & 0x00FFFFFFu
                        : 0u);
        return pixels;
    }
};

// The window's client area as it paints, the windows inside it included.
TPixels Print(HWND window, int left, int top, int width, int height) {
    RECT client{};
    GetClientRect(window, &client);
    TSurface surface(client.right, client.bottom);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(surface.dc),
                 PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    GdiFlush();
    return surface.Crop(left, top, width, height);
}

} // namespace

void PointerMove(TControl& control, TPoint at) {
    const POINT screen = Screen(control, at);
    gPointer.screen = screen;
    HWND under = WindowAt(Window(control), screen);
    if (GetCapture() == nullptr)
        Hover(under);
    Route(WM_MOUSEMOVE, gPointer.buttons, under, screen);
}

void SendPointerMove(TControl& control, TPoint at) {
    // A control without a window of its own gets a move outside itself only while it holds the
    // capture; it keeps or lets go of it as it does with any move.
    if (GetCaptureControl() != &control)
        SetCaptureControl(&control);
    SendMessageW(Window(control), WM_MOUSEMOVE, gPointer.buttons, Coordinates(Client(control, at)));
}

void PointerLeave(TControl& control) {
    SendMessageW(Window(control), WM_MOUSELEAVE, 0, 0);
    if (gPointer.hovered == Window(control))
        gPointer.hovered = nullptr;
}

void PointerPress(TControl& control, TPoint at, TMouseButton button) {
    Press(control, at, button, false);
}

void PointerRelease(TControl& control, TPoint at, TMouseButton button) {
    const POINT screen = Screen(control, at);
    gPointer.screen = screen;
    gPointer.buttons &= ~Flag(button);
    if (button == TMouseButton::Left)
        gPointer.onThumb = false;
    Route(Message(TPointerEvent::Release, button), gPointer.buttons, Window(control), screen);
}

void PointerClick(TControl& control, TPoint at, TMouseButton button) {
    PointerPress(control, at, button);
    PointerRelease(control, at, button);
}

void DoubleClick(TControl& control, TPoint at, TMouseButton button) {
    Press(control, at, button, true);
}

bool SendPointer(TControl& control, TPointerEvent event, TMouseButton button, TPoint at) {
    HWND window = Window(control);
    if (window == nullptr)
        return false;
    const WPARAM buttons = event == TPointerEvent::Release ? 0 : Flag(button);
    if (button == TMouseButton::Left && event != TPointerEvent::Move && IsSlider(window)) {
        const RECT thumb = ThumbRect(window);
        gPointer.onThumb =
            event == TPointerEvent::Press && PtInRect(&thumb, Client(control, at)) != FALSE;
    }
    SendMessageW(window, Message(event, button), buttons, Coordinates(Client(control, at)));
    // A window procedure says nothing of whether it used a pointer message.
    return true;
}

void Wheel(TControl& control, int delta) {
    // The system hands the wheel to the window under the pointer, at screen coordinates.
    const POINT centre = Screen(control, {control.Width() / 2, control.Height() / 2});
    SendMessageW(Window(control), WM_MOUSEWHEEL,
                 MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))), Coordinates(centre));
}

int WheelScrollLines() {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return int(lines);
}

void SetWheelScrollLines(int lines) {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, UINT(lines), nullptr, 0);
}

void KeyPress(TControl& control, TKey key) {
    SendMessageW(Window(control), WM_KEYDOWN, VirtualKey(key), kFirstPress);
}

void KeyRelease(TControl& control, TKey key) {
    SendMessageW(Window(control), WM_KEYUP, VirtualKey(key), kRelease);
}

void Key(TControl& control, TKey key) {
    KeyPress(control, key);
    KeyRelease(control, key);
}

void KeyAutoRepeat(TControl& control, TKey key) {
    // Windows repeats the press alone, marked as a key that was down.
    SendMessageW(Window(control), WM_KEYDOWN, VirtualKey(key), kRepeatedPress);
}

void LoseFocus(TControl& control) {
    // Another window becoming active takes the capture and the focus.
    HWND window = Window(control);
    if (GetCapture() == window)
        ReleaseCapture();
    if (GetFocus() == window)
        SetFocus(nullptr);
    else
        SendMessageW(window, WM_KILLFOCUS, 0, 0);
}

void KeyToFocus(TForm& form, TKey key) {
    HWND target = GetFocus();
    if (target == nullptr)
        target = Window(form);
    // Shift held as the loop reads it, for the keys of this stroke.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = key == TKey::ShiftTab ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(target, WM_KEYDOWN, VirtualKey(key), kFirstPress);
    PostMessageW(target, WM_KEYUP, VirtualKey(key), kRelease);
    win32::EventLoop::ProcessPending();
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
}

namespace {

// The control as MSAA gives it: its window's client object and, for a control that the window
// draws, the simple child that lies where the control lies.
struct TAccessibleObject {
    IAccessible* object = nullptr;
    VARIANT child{};

    explicit TAccessibleObject(TControl& control) {
        child.vt = VT_I4;
        child.lVal = CHILDID_SELF;
        if (FAILED(AccessibleObjectFromWindow(Window(control), static_cast<DWORD>(OBJID_CLIENT),
                                              __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object))))
            object = nullptr;
        if (object == nullptr)
            return;
        const POINT at = Screen(control, {0, 0});
        const RECT wanted{at.x, at.y, at.x + win32::Scaled(control.Width()),
                          at.y + win32::Scaled(control.Height())};
        LONG count = 0;
        object->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        LONG got = 0;
        if (count > 0)
            AccessibleChildren(object, 0, count, children.data(), &got);
        for (LONG i = 0; i < got; ++i) {
            VARIANT& c = children[static_cast<std::size_t>(i)];
            LONG left = 0, top = 0, width = 0, height = 0;
            if (c.vt == VT_I4 && object->accLocation(&left, &top, &width, &height, c) == S_OK) {
                const RECT r{left, top, left + width, top + height};
                if (EqualRect(&r, &wanted))
                    child.lVal = c.lVal;
            }
            VariantClear(&c);
        }
    }
    ~TAccessibleObject() {
        if (object != nullptr)
            object->Release();
    }
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    String Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) const {
        BSTR text = nullptr;
        if (object == nullptr || (object->*get)(child, &text) != S_OK || text == nullptr)
            return {};
        const String result = win32::Narrow(std::wstring(text, SysStringLen(text)));
        SysFreeString(text);
        return result;
    }
    LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) const {
        VARIANT v;
        VariantInit(&v);
        if (object == nullptr || (object->*get)(child, &v) != S_OK || v.vt != VT_I4)
            return 0;
        return v.lVal;
    }
};

} // namespace

TAccessible Accessible(TControl& control) {
    const TAccessibleObject o(control);
    TAccessible a;
    switch (o.Number(&IAccessible::get_accRole)) {
    case ROLE_SYSTEM_PUSHBUTTON:
        a.Role = TAccessibleRole::Button;
        break;
    case ROLE_SYSTEM_LINK:
        a.Role = TAccessibleRole::Link;
        break;
    case ROLE_SYSTEM_SLIDER:
        a.Role = TAccessibleRole::Slider;
        break;
    case ROLE_SYSTEM_GRAPHIC:
        a.Role = TAccessibleRole::Picture;
        break;
    default:
        break;
    }
    a.Name = o.Text(&IAccessible::get_accName);
    const LONG state = o.Number(&IAccessible::get_accState);
    a.Focusable = (state & STATE_SYSTEM_FOCUSABLE) != 0;
    a.Focused = (state & STATE_SYSTEM_FOCUSED) != 0;
    a.Pressable = !o.Text(&IAccessible::get_accDefaultAction).empty();
    return a;
}

String AccessibleValue(TControl& control) {
    return TAccessibleObject(control).Text(&IAccessible::get_accValue);
}

bool AccessiblePress(TControl& control) {
    const TAccessibleObject o(control);
    if (o.Text(&IAccessible::get_accDefaultAction).empty() ||
        FAILED(o.object->accDoDefaultAction(o.child)))
        return false;
    // The press runs from the loop, as it does for a screen reader in another process.
    PumpMessages();
    return true;
}

TShownSlider ShownSlider(TTrackBar& bar) {
    HWND slider = Window(bar);
    return {int(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0)),
            int(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0)),
            int(SendMessageW(slider, TBM_GETPOS, 0, 0))};
}

TPoint ThumbCentre(TTrackBar& bar) {
    const RECT r = ThumbRect(Window(bar));
    return {win32::Unscaled((r.left + r.right) / 2), win32::Unscaled((r.top + r.bottom) / 2)};
}

int ThumbLength(TTrackBar& bar) {
    const RECT r = ThumbRect(Window(bar));
    return win32::Unscaled(r.bottom - r.top);
}

bool ThumbHeld(TTrackBar& bar) {
    return gPointer.onThumb && GetCapture() == Window(bar);
}

void PageRepeatTick(TTrackBar& bar) {
    // The trackbar reads the pointer from the system at each step of its repeat.
    SetCursorPos(gPointer.screen.x, gPointer.screen.y);
    if (GetCapture() == Window(bar) && !gPointer.onThumb)
        SendMessageW(Window(bar), WM_TIMER, 1, 0);
}

TBackEnd BackEnd() {
    return TBackEnd::Win32;
}

namespace {

constexpr UINT kLoopPass = WM_APP + 1;

LRESULT CALLBACK LoopPassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* action =
        reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kLoopPass) {
        if (action != nullptr)
            (*action)();
        return 1;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete action;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sends the window one message after the other until it is gone.
DWORD WINAPI SendLoopPasses(void* window) {
    while (SendMessageW(static_cast<HWND>(window), kLoopPass, 0, 0) == 1) {
    }
    return 0;
}

} // namespace

// A hidden child window of the owner that another thread keeps sending a message: the system
// delivers a message sent from another thread whenever this one looks at its queue, so once on
// every pass of the loop, even one that finds nothing else to do. A timer cannot do this: the
// system's shortest is 10 ms, and one of interval 0 does not run at all.
void EveryLoopPass(TControl& owner, std::function<void()> action) {
    static const ATOM type = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = LoopPassProc;
        c.hInstance = GetModuleHandleW(nullptr);
        c.lpszClassName = L"ReelstandTestLoopPass";
        return RegisterClassW(&c);
    }();
    HWND window = CreateWindowExW(0, MAKEINTATOM(type), L"", WS_CHILD, 0, 0, 0, 0, Window(owner),
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return;
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new std::function<void()>(std::move(action))));
    if (HANDLE thread = CreateThread(nullptr, 0, SendLoopPasses, window, 0, nullptr))
        CloseHandle(thread);
}

bool ShowAndWait(TControl& control) {
    HWND window = Window(control);
    HWND top = GetAncestor(window, GA_ROOT);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    PumpMessages();
    return IsWindowVisible(window) != FALSE;
}

bool ActivateAndWait(TControl& control) {
    HWND top = GetAncestor(Window(control), GA_ROOT);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    PumpMessages();
    return GetActiveWindow() == top;
}

// A control that its panel draws has the focus when the panel has it for this control.
bool HasFocus(TControl& control) {
    return GetFocus() == Window(control) && control.Focused();
}

bool HasFrame(TForm& form) {
    return (GetWindowLongW(Window(form), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

String WindowCaption(TForm& form) {
    HWND window = Window(form);
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return win32::Narrow(text);
}

bool DropFiles(TForm& form, const std::vector<String>& files) {
    HWND window = Window(form);
    if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0)
        return false;
    // What Explorer hands over: a DROPFILES header, then the names, each ended by a zero, and
    // one more zero.
    std::wstring names;
    for (const String& file : files) {
        std::wstring name = win32::Widen(file);
        for (wchar_t& ch : name)
            ch = ch == L'/' ? L'\\' : ch;
        names += name;
        names += L'\0';
    }
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    if (memory == nullptr)
        return false;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {100, 100};
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(),
                names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    // The window owns the handle from here and frees it with DragFinish.
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    return true;
}

TPixels Rendered(TControl& control) {
    const POINT origin = control.Handle()->Origin();
    return Print(Window(control), origin.x, origin.y, win32::Scaled(control.Width()),
                 win32::Scaled(control.Height()));
}

TPixels Rendered(TControl& container, const TControl& area) {
    const POINT at = Client(container, {area.Left(), area.Top()});
    return Print(Window(container), at.x, at.y, win32::Scaled(area.Width()),
                 win32::Scaled(area.Height()));
}

TPixels Pixels(const TBitmap& bitmap) {
    TPixels pixels{bitmap.Width(), bitmap.Height(), {}};
    const std::uint32_t* bits = BitmapBits(bitmap);
    if (bitmap.Empty() || bits == nullptr)
        return pixels;
    pixels.Data.assign(bits, bits + std::size_t(pixels.Width) * std::size_t(pixels.Height));
    for (std::uint32_t& pixel : pixels.Data)
        pixel &= 0x00FFFFFFu;
    return pixels;
}

std::uint32_t PixelAt(const TBitmap& bitmap, int x, int y) {
    return BitmapBits(bitmap)[std::size_t(y) * std::size_t(bitmap.Width()) + std::size_t(x)] &
           0x00FFFFFFu;
}

bool SharePixels(const TBitmap& a, const TBitmap& b) {
    return !a.Empty() && BitmapBits(a) == BitmapBits(b);
}

} // namespace ui
