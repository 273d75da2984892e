#include "toolkit/win32/native/TrackBar.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

namespace win32 {

namespace {

const wchar_t* const PeerProperty = L"Reelstand.TrackBar";

void InitTrackBarClass() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

constexpr UINT_PTR SubclassId = 1;
// The timer the trackbar repeats a click held in the channel with.
constexpr UINT_PTR RepeatTimer = 1;

} // namespace

// Not every trackbar turns the wheel (Wine's passes it on to the parent), so the slider does it
// itself, the same everywhere: one notification per event that completes at least one notch.
// A gesture whose capture went elsewhere (a box opened by a handler) ends there: Wine's trackbar
// would otherwise keep paging on its timer and follow the pointer without a button held.
LRESULT CALLBACK TrackBar::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* bar = reinterpret_cast<TrackBar*>(data);
    switch (message) {
    case WM_MOUSEWHEEL:
        bar->Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(window, wParam, lParam))
            return object;
        break;
    case WM_CAPTURECHANGED: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (!bar->FReleasing && reinterpret_cast<HWND>(lParam) != window) {
            KillTimer(window, RepeatTimer);
            bar->FStale = true;
        }
        return result;
    }
    case WM_MOUSEMOVE:
    case WM_TIMER:
        if (bar->FStale)
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        // The control still thinks the lost gesture runs: its own release ends it, unheard.
        if (bar->FStale) {
            bar->FStale = false;
            bar->FSilent = true;
            DefSubclassProc(window, WM_LBUTTONUP, 0, lParam);
            bar->FSilent = false;
            if (message == WM_LBUTTONUP)
                return 0;
        }
        if (message == WM_LBUTTONUP) {
            bar->FReleasing = true;
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            bar->FReleasing = false;
            return result;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void TrackBar::Wheel(int delta) {
    const long long total = static_cast<long long>(FWheelDelta) + delta;
    const long long notches = total / WHEEL_DELTA;
    FWheelDelta = static_cast<int>(total % WHEEL_DELTA);
    if (notches == 0)
        return;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const long long line = SendMessageW(FHandle, TBM_GETLINESIZE, 0, 0);
    const long long page = SendMessageW(FHandle, TBM_GETPAGESIZE, 0, 0);
    // Turning the wheel away from the user scrolls towards the minimum, like the Up key.
    const long long step =
        lines == WHEEL_PAGESCROLL ? page : std::min<long long>(lines, 1 << 20) * line;
    const long long position = SendMessageW(FHandle, TBM_GETPOS, 0, 0);
    const long long target = std::clamp<long long>(position - notches * step, Min(), Max());
    SendMessageW(FHandle, TBM_SETPOS, TRUE, static_cast<LPARAM>(target));
    UserScroll();
}

TrackBar::TrackBar(HWND parent, int left, int top, int width, int height) {
    InitTrackBarClass();
    FHandle = CreateWindowExW(0, TRACKBAR_CLASSW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_TOP |
                                  TBS_NOTICKS | TBS_FIXEDLENGTH | TBS_ENABLESELRANGE,
                              left, top, width, height, parent, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (!FHandle)
        return;
    SetPropW(FHandle, PeerProperty, this);
    SetWindowSubclass(FHandle, SubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetAccessibleSource(FHandle, this);
    SendMessageW(FHandle, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(FHandle, TBM_SETRANGEMAX, FALSE, 10);
    SendMessageW(FHandle, TBM_SETPOS, FALSE, 0);
    SendMessageW(FHandle, TBM_SETLINESIZE, 0, 0);
    SendMessageW(FHandle, TBM_SETPAGESIZE, 0, 0);
    SendMessageW(FHandle, TBM_SETTHUMBLENGTH, 20, 0);
    SendMessageW(FHandle, TBM_CLEARSEL, TRUE, 0);
}

TrackBar::~TrackBar() {
    if (FHandle) {
        SetAccessibleSource(FHandle, nullptr);
        RemoveWindowSubclass(FHandle, SubclassProc, SubclassId);
        RemovePropW(FHandle, PeerProperty);
        DestroyWindow(FHandle);
    }
}

int TrackBar::Min() const {
    return FHandle ? static_cast<int>(SendMessageW(FHandle, TBM_GETRANGEMIN, 0, 0)) : 0;
}

int TrackBar::Max() const {
    return FHandle ? static_cast<int>(SendMessageW(FHandle, TBM_GETRANGEMAX, 0, 0)) : 0;
}

int TrackBar::Position() const {
    return FHandle ? static_cast<int>(SendMessageW(FHandle, TBM_GETPOS, 0, 0)) : 0;
}

void TrackBar::SetMax(int value) {
    if (FHandle)
        SendMessageW(FHandle, TBM_SETRANGEMAX, TRUE, value);
}

void TrackBar::SetPosition(int value) {
    if (FHandle)
        SendMessageW(FHandle, TBM_SETPOS, TRUE, value);
}

void TrackBar::SetLineSize(int value) {
    if (FHandle)
        SendMessageW(FHandle, TBM_SETLINESIZE, 0, value);
}

void TrackBar::SetPageSize(int value) {
    if (FHandle)
        SendMessageW(FHandle, TBM_SETPAGESIZE, 0, value);
}

void TrackBar::SetThumbLength(int value) {
    if (FHandle)
        SendMessageW(FHandle, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(std::max(value, 1)), 0);
}

// The system's object for a trackbar is a slider on Windows, a plain client area under Wine.
LONG TrackBar::AccessibleRole() const {
    return ROLE_SYSTEM_SLIDER;
}

bool TrackBar::HandleScroll(WPARAM, LPARAM lParam) {
    HWND from = reinterpret_cast<HWND>(lParam);
    if (!from)
        return false;
    auto* bar = static_cast<TrackBar*>(GetPropW(from, PeerProperty));
    if (!bar || bar->FHandle != from)
        return false;
    bar->UserScroll();
    return true;
}

void TrackBar::UserScroll() {
    if (FSilent)
        return;
    // A copy, so a handler may replace it while it runs.
    if (auto handler = OnUserScroll)
        handler(Position());
}

} // namespace win32
