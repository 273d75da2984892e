#pragma once

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Graphics.h"
#include "toolkit/TrackBar.h"
#include "toolkit/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Driving the toolkit's controls as a user does, and reading what they show, in the toolkit's
// own terms: the test files that use only these run against every back end. Each back end
// implements them (tests/support/qt for Qt). Points are in the control's coordinates.
namespace ui {

// A real move of the pointer: the system's own enter and leave come with it.
void PointerMove(TControl& control, TPoint at);
// A move delivered to the control wherever the pointer is, as a control holding the capture
// gets it.
void SendPointerMove(TControl& control, TPoint at);
// The pointer leaves the control, wherever the cursor reads.
void PointerLeave(TControl& control);
void PointerPress(TControl& control, TPoint at, TMouseButton button = TMouseButton::Left);
void PointerRelease(TControl& control, TPoint at, TMouseButton button = TMouseButton::Left);
void PointerClick(TControl& control, TPoint at, TMouseButton button = TMouseButton::Left);
// The second press of a double click (the first click comes before it).
void DoubleClick(TControl& control, TPoint at, TMouseButton button = TMouseButton::Left);

// A pointer event as it arrives, past any bookkeeping of the driver; true if the control took it.
enum class TPointerEvent { Press, Move, Release };
bool SendPointer(TControl& control, TPointerEvent event, TMouseButton button, TPoint at);
// One turn of the wheel over the control, in eighths of a degree (one notch is 120).
void Wheel(TControl& control, int delta);
// How many lines one notch of the wheel scrolls; tests set it and put it back.
int WheelScrollLines();
void SetWheelScrollLines(int lines);

enum class TKey {
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    A,
    Space,
    Return,
    Tab,
    ShiftTab
};
void KeyPress(TControl& control, TKey key);
void KeyRelease(TControl& control, TKey key);
// Press and release.
void Key(TControl& control, TKey key);
// What the system delivers while a key is held: a repeated press (on X11 after a repeated
// release).
void KeyAutoRepeat(TControl& control, TKey key);
// The control loses the keyboard focus (another window became active).
void LoseFocus(TControl& control);
// A key pressed and released in the window as the system delivers it: to whatever holds the
// keyboard focus, through the event loop (which takes Tab on Windows).
void KeyToFocus(TForm& form, TKey key);

// What assistive technology reads of a control, asked through the system's own accessibility
// interface (Qt's QAccessible, which AT-SPI serves on Linux; MSAA's IAccessible on Windows).
struct TAccessible {
    TAccessibleRole Role = TAccessibleRole::None; // None: none of ours
    String Name;
    bool Focusable = false;
    bool Focused = false;
    bool Pressable = false; // it offers a press action
    bool operator==(const TAccessible&) const = default;
};
TAccessible Accessible(TControl& control);
// The slider's value as assistive technology reads it.
String AccessibleValue(TControl& control);
// Runs the control's press action as assistive technology does, then lets the event loop run
// once; false when the control offers none.
bool AccessiblePress(TControl& control);

// The slider as it is drawn: the range and the position of its thumb, the thumb's centre, and
// whether the thumb is held by a drag.
struct TShownSlider {
    int Min = 0;
    int Max = 0;
    int Position = 0;
    bool operator==(const TShownSlider&) const = default;
};
TShownSlider ShownSlider(TTrackBar& bar);
TPoint ThumbCentre(TTrackBar& bar);
// The thumb's extent across the channel.
int ThumbLength(TTrackBar& bar);
bool ThumbHeld(TTrackBar& bar);
// One step of the repeat of a click held in the slider's channel, without waiting for it; nothing
// when no repeat runs.
void PageRepeatTick(TTrackBar& bar);

// Runs `action` on every pass of the event loop (each yield of a decode among them), for as long
// as `owner` exists.
void EveryLoopPass(TControl& owner, std::function<void()> action);

// Shows the control's window and waits until it is on screen; false when it never got there.
bool ShowAndWait(TControl& control);
// Makes the control's window the active one and waits for it; false when it never became so.
bool ActivateAndWait(TControl& control);
// Whether the control holds the keyboard focus.
bool HasFocus(TControl& control);
// Whether the window has a frame with a caption, as the system draws it.
bool HasFrame(TForm& form);
// The window's title as the system shows it.
String WindowCaption(TForm& form);
// Drags these files onto the window and drops them there, as a file manager does; true when the
// window took the drop.
bool DropFiles(TForm& form, const std::vector<String>& files);

// 32-bit pixels, 0x00RRGGBB, rows top-down.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Data;

    std::uint32_t At(int x, int y) const {
        return Data[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                    static_cast<std::size_t>(x)];
    }
    bool operator==(const TPixels&) const = default;
};

// The control as it is painted, its children included.
TPixels Rendered(TControl& control);
// What `container` shows where its child `area` lies: the child, or the container where the
// child is hidden or draws nothing.
TPixels Rendered(TControl& container, const TControl& area);
// A bitmap's pixels, all of them or one.
TPixels Pixels(const TBitmap& bitmap);
std::uint32_t PixelAt(const TBitmap& bitmap, int x, int y);
// Whether two bitmaps share one block of pixels (an assignment that copied none).
bool SharePixels(const TBitmap& a, const TBitmap& b);
// Gives the bitmap these pixels.
void SetPixels(TBitmap& bitmap, const TPixels& pixels);
// Gives the bitmap `width` x `height` pixels of one colour.
void Fill(TBitmap& bitmap, int width, int height, TColor colour);

// The back end the tests drive, for the checks that one of them answers otherwise
// (Differences.h).
enum class TBackEnd { Qt, Win32 };
TBackEnd BackEnd();

} // namespace ui
